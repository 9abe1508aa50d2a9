// vendrel-launchd: the launchd stand-in for one volume (VENDREL_ROOT, which must be set:
// the stand-in runs jobs as its own user, usually root, and must never be pointed at the
// host's "/" by accident; set VENDREL_ROOT=/ to mean it).
//
//   vendrel-launchd [--allow-label LABEL]...
//
// Loads the allowed jobs of /Library/LaunchDaemons on the volume, serves the control socket
// of platform/launchd.h (load, unload, list) to root alone (mode 0600 and the peer's
// credentials), starts jobs on demand and restarts them (see job_table.h). SIGTERM or SIGINT stops
// every job and ends the stand-in.
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/launchd.h"
#include "platform/paths.h"
#include "platform/xpc.h"
#include "tools/launchd/job_table.h"

namespace {
int gWake = -1;
void onStop(int) {
    uint64_t one = 1;
    ssize_t ignored = ::write(gWake, &one, sizeof one);
    (void)ignored;
}

void serveControl(int listenFd, vendrel::launchd_standin::JobTable& jobs) {
    int c = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0)
        return;
    vendrel::platform::xpc::Connection connection(c);
    // Loading a job makes its program run as root: only root (or the stand-in's own user)
    // may ask. The socket's mode says the same; this holds even if someone changed it.
    ucred peer{};
    socklen_t len = sizeof peer;
    if (::getsockopt(c, SOL_SOCKET, SO_PEERCRED, &peer, &len) != 0 ||
        (peer.uid != 0 && peer.uid != ::geteuid())) {
        connection.send("error\nonly root may control launchd");
        return;
    }
    auto request = connection.receive(5.0);
    if (!request)
        return;
    size_t nl = request->find('\n');
    std::string verb = request->substr(0, nl);
    std::string argument = nl == std::string::npos ? std::string() : request->substr(nl + 1);
    std::string why;
    std::string text;
    if (verb == "load")
        why = jobs.load(argument);
    else if (verb == "unload")
        why = jobs.unload(argument);
    else if (verb == "list")
        text = jobs.list();
    else
        why = "unknown request " + verb;
    connection.send(why.empty() ? "ok\n" + text : "error\n" + why);
}
}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("VENDREL_ROOT")) {
        std::cerr << "vendrel-launchd: set VENDREL_ROOT to the volume whose jobs to run\n";
        return 2;
    }
    std::set<std::string> allowed = {"com.Vendrel.Ostrand.DaemonServer"};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--allow-label") == 0 && i + 1 < argc) {
            allowed.insert(argv[++i]);
        } else {
            std::cerr << "usage: vendrel-launchd [--allow-label LABEL]...\n";
            return 2;
        }
    }
    gWake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    struct sigaction sa {};
    sa.sa_handler = onStop;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    std::string error;
    int control =
        vendrel::platform::xpc::listenAt(vendrel::platform::launchd::kControlSocket, &error);
    if (control < 0) {
        std::cerr << "vendrel-launchd: " << error << "\n";
        return 1;
    }
    // Clients other than root are kept out by the socket's mode as well as by serveControl.
    ::chmod(vendrel::platform::toHost(vendrel::platform::launchd::kControlSocket).c_str(), 0600);
    vendrel::launchd_standin::JobTable jobs(allowed);
    jobs.loadFolder("/Library/LaunchDaemons");

    for (;;) {
        std::vector<pollfd> fds = {{gWake, POLLIN, 0}, {control, POLLIN, 0}};
        for (int fd : jobs.idleServiceFds())
            fds.push_back({fd, POLLIN, 0});
        int restartMs = jobs.msUntilNextRestart();
        int timeout = restartMs >= 0 && restartMs < 50 ? restartMs : 50;
        int r = ::poll(fds.data(), fds.size(), timeout);
        if (r < 0 && errno != EINTR)
            break;
        if (fds[0].revents)
            break;
        if (fds[1].revents & POLLIN)
            serveControl(control, jobs);
        for (size_t i = 2; i < fds.size(); ++i)
            if (fds[i].revents & POLLIN)
                jobs.onServiceReadable(fds[i].fd);
        jobs.tick();
    }
    jobs.shutdown();
    ::close(control);
    ::unlink(vendrel::platform::toHost(vendrel::platform::launchd::kControlSocket).c_str());
    return 0;
}
