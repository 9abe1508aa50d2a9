#include "tests/daemon/daemon_fixture.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "common/daemon_messages.h"
#include "platform/launchd.h"

extern char** environ;

namespace vendrel::test {
namespace stdfs = std::filesystem;

namespace {}  // namespace

bool waitUntil(const std::function<bool()>& done, double seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

DaemonVolume::DaemonVolume() {
    const stdfs::path bundle = std::string(VENDREL_BUILD_DIR) + "/Vendrel.app";
    if (!stdfs::exists(bundle / "Contents/MacOS/Vendrel"))
        throw std::runtime_error("Vendrel.app is not built");
    vol_.mkdir("/Applications");
    // The bundle's files are hard links to the build's, not copies: the sanitizer build's
    // bundle is over 100 MB, and every test of the daemon makes a volume. A file the tests
    // change is replaced through a rename (atomic writes), never written in place, and the
    // force removal leaves a file with other links its mode, so the build's copy stays as
    // built.
    stdfs::copy(bundle, vol_.host("/Applications/Vendrel.app"),
                stdfs::copy_options::recursive | stdfs::copy_options::create_hard_links);
}

DaemonVolume::~DaemonVolume() {
    stopLaunchd();
}

std::string DaemonVolume::appExecutable() const {
    return vol_.host(daemon_messages::kTrustedClientExecutable);
}

void DaemonVolume::startLaunchd() {
    // The stand-in (and the daemon it starts as root) must only ever see this volume.
    const char* root = ::getenv("VENDREL_ROOT");
    if (!root || root != vol_.root())
        throw std::runtime_error("VENDREL_ROOT not set");
    // Its own account of what it did goes to a file beside the volume's log.
    launchd_ = startProcess({builtProgram("vendrel-launchd")}, vol_.root() + "/launchd.log");
    if (!waitUntil([] { return platform::launchd::list().reached; }, 20))
        throw std::runtime_error("the launchd stand-in did not come up");
}

void DaemonVolume::stopLaunchd() {
    if (launchd_ <= 0)
        return;
    ::kill(launchd_, SIGTERM);
    int status = 0;
    ::waitpid(launchd_, &status, 0);
    launchd_ = 0;
}

ProgramOutput DaemonVolume::app(const std::vector<std::string>& args,
                                const std::vector<std::string>& env) const {
    std::vector<std::string> argv = {appExecutable()};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv, /*withErrors=*/true, env);
}

int DaemonVolume::installDaemon() {
    startLaunchd();
    auto run = app({"install-helper"}, {"VENDREL_AUTH=allow"});
    if (run.exitCode != 0)
        throw std::runtime_error("install-helper failed: " + run.out);
    if (!waitForLogCount("com.Vendrel.Ostrand.DaemonServer Version 1.189 NSXPC is running...", 1))
        throw std::runtime_error("the daemon did not start");
    std::optional<int> pid;
    if (!waitUntil([&] { return (pid = daemonPid()).has_value(); }))
        throw std::runtime_error("launchd does not know the daemon");
    return *pid;
}

std::string DaemonVolume::log() const {
    return vol_.read("/daemon.log");
}

int DaemonVolume::logCount(std::string_view line) const {
    std::istringstream in(log());
    int count = 0;
    for (std::string l; std::getline(in, l);)
        if (l == line)
            ++count;
    return count;
}

bool DaemonVolume::waitForLogCount(std::string_view line, int count, double seconds) const {
    return waitUntil([&] { return logCount(line) >= count; }, seconds);
}

std::optional<int> DaemonVolume::daemonPid() const {
    std::istringstream lines(platform::launchd::list().text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string label, pid;
        std::getline(fields, label, '\t');
        std::getline(fields, pid, '\t');
        if (label == daemon_messages::kLabel && pid != "-")
            return std::stoi(pid);
    }
    return std::nullopt;
}

void DaemonVolume::writeRequest(const request_files::FolderList& folders,
                                const std::optional<request_files::CommandList>& commands) const {
    const auto contents = request_files::kInstalledContentsFolder;
    if (!request_files::writeFolderList(contents, folders))
        throw std::runtime_error("cannot write the folder list");
    request_files::removeCommandList(contents);
    if (commands && !request_files::writeCommandList(contents, *commands))
        throw std::runtime_error("cannot write the command list");
}

request_files::FolderList DaemonVolume::folderListFor(const std::string& bundle,
                                                      const std::string& name) const {
    request_files::FolderList f;
    f.appName = name;
    f.bundleId = "com.example." + name;
    f.isFolder = "YES";
    f.installPath = bundle;
    f.userHome = vol_.home();
    return f;
}

std::string DaemonVolume::send(std::string_view message, double timeout) const {
    auto run = app({"daemon-send", std::string(message), "--timeout", std::to_string(timeout)});
    std::string out = run.out;
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

std::string DaemonVolume::sendAs(uid_t uid, std::string_view message, double timeout) const {
    for (const char* folder : {"/", "/private", "/private/var", "/private/var/run",
                               "/private/var/run/vendrel-xpc", "/Applications"})
        if (vol_.exists(folder))
            ::chmod(vol_.host(folder).c_str(), 0755);
    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("pipe");
    const std::string exe = appExecutable();
    const std::string text(message);
    const std::string limit = std::to_string(timeout);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        const gid_t gid = static_cast<gid_t>(uid);
        if (::setgroups(0, nullptr) != 0 || ::setresgid(gid, gid, gid) != 0 ||
            ::setresuid(uid, uid, uid) != 0)
            ::_exit(126);
        const char* argv[] = {exe.c_str(), "daemon-send", text.c_str(),
                              "--timeout", limit.c_str(), nullptr};
        ::execve(exe.c_str(), const_cast<char* const*>(argv), environ);
        ::_exit(127);
    }
    ::close(out[1]);
    std::string reply;
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;)
        reply.append(buf, static_cast<size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    while (!reply.empty() && reply.back() == '\n')
        reply.pop_back();
    return reply;
}

}  // namespace vendrel::test
