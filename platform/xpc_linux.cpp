#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <list>
#include <mutex>
#include <thread>

#include "platform/paths.h"
#include "platform/posix_util_linux.h"
#include "platform/xpc.h"

#ifndef SO_PEERPIDFD
#define SO_PEERPIDFD 77
#endif

namespace vendrel::platform::xpc {
namespace {

using posix::Fd;

constexpr std::string_view kSocketFolder = "/private/var/run/vendrel-xpc";

// sun_path holds 107 bytes. A longer host path is reached through the folder's descriptor
// ("/proc/self/fd/N/name"), which the kernel resolves like any other path.
struct SocketAddress {
    sockaddr_un addr{};
    socklen_t length = 0;
    Fd folder;  // keeps the folder open while the address is in use
};

bool makeAddress(const std::string& hostPath, SocketAddress& out) {
    std::string path = hostPath;
    if (path.size() >= sizeof(out.addr.sun_path)) {
        std::string folder = hostPath.substr(0, hostPath.rfind('/'));
        out.folder = Fd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!out.folder.valid())
            return false;
        path = "/proc/self/fd/" + std::to_string(out.folder.get()) +
               hostPath.substr(hostPath.rfind('/'));
        if (path.size() >= sizeof(out.addr.sun_path))
            return false;
    }
    out.addr.sun_family = AF_UNIX;
    std::memcpy(out.addr.sun_path, path.c_str(), path.size() + 1);
    out.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return true;
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Reads exactly `size` bytes before `deadlineMs` (CLOCK_MONOTONIC ms; <0 = no deadline).
bool readAll(int fd, char* data, size_t size, int64_t deadlineMs) {
    while (size > 0) {
        int waitMs = -1;
        if (deadlineMs >= 0) {
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            int64_t left = deadlineMs - (now.tv_sec * 1000 + now.tv_nsec / 1000000);
            if (left <= 0)
                return false;
            waitMs = static_cast<int>(left);
        }
        pollfd p{fd, POLLIN, 0};
        int r = ::poll(&p, 1, waitMs);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        ssize_t n = ::recv(fd, data, size, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Field 22 of /proc/<pid>/stat: the start time in clock ticks since boot. The command name
// (field 2) may hold spaces and parentheses, so counting starts after its last ')'.
std::optional<uint64_t> startTimeAt(int procDir) {
    Fd f(::openat(procDir, "stat", O_RDONLY | O_CLOEXEC));
    if (!f.valid())
        return std::nullopt;
    char buf[1024];
    ssize_t n = ::read(f.get(), buf, sizeof buf - 1);
    if (n <= 0)
        return std::nullopt;
    buf[n] = 0;
    const char* p = std::strrchr(buf, ')');
    if (!p)
        return std::nullopt;
    // After ')' come fields 3, 4, ...; field 22 is the 20th of them.
    int field = 2;
    for (++p; *p && field < 22; ++p) {
        if (*p == ' ')
            ++field;
    }
    if (field != 22)
        return std::nullopt;
    char* end = nullptr;
    unsigned long long v = std::strtoull(p, &end, 10);
    if (end == p)
        return std::nullopt;
    return static_cast<uint64_t>(v);
}

// True while the process behind the pidfd has not exited. A live pidfd means its pid has not
// been handed to another process.
bool pidfdAlive(int pidfd) {
    pollfd p{pidfd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 0;
}

std::string hostOf(std::string_view service) {
    return toHost(serviceSocketPath(service));
}

}  // namespace

std::string serviceSocketPath(std::string_view service) {
    return std::string(kSocketFolder) + "/" + std::string(service) + ".sock";
}

// ---- Connection ----

Connection::Connection(int fd) : fd_(fd) {}
Connection::~Connection() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool Connection::send(std::string_view payload) {
    if (payload.size() > kMaxFramePayload)
        return false;
    uint32_t n = static_cast<uint32_t>(payload.size());
    char header[4] = {static_cast<char>(n >> 24), static_cast<char>(n >> 16),
                      static_cast<char>(n >> 8), static_cast<char>(n)};
    return writeAll(fd_, header, 4) && writeAll(fd_, payload.data(), payload.size());
}

std::optional<std::string> Connection::receive(double timeoutSeconds) {
    int64_t deadline = -1;
    if (timeoutSeconds >= 0) {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        deadline =
            now.tv_sec * 1000 + now.tv_nsec / 1000000 + static_cast<int64_t>(timeoutSeconds * 1000);
    }
    unsigned char header[4];
    if (!readAll(fd_, reinterpret_cast<char*>(header), 4, deadline))
        return std::nullopt;
    uint32_t n = (uint32_t{header[0]} << 24) | (uint32_t{header[1]} << 16) |
                 (uint32_t{header[2]} << 8) | uint32_t{header[3]};
    if (n > kMaxFramePayload)
        return std::nullopt;
    std::string payload(n, '\0');
    if (n > 0 && !readAll(fd_, payload.data(), n, deadline))
        return std::nullopt;
    return payload;
}

// ---- Sockets ----

int connectTo(std::string_view logicalSocketPath) {
    std::string host = toHost(logicalSocketPath);
    SocketAddress a;
    if (host.empty() || !makeAddress(host, a))
        return -1;
    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.valid())
        return -1;
    int r;
    do {
        r = ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&a.addr), a.length);
    } while (r < 0 && errno == EINTR);
    return r == 0 ? fd.release() : -1;
}

std::unique_ptr<Connection> connectToService(std::string_view service) {
    int fd = connectTo(serviceSocketPath(service));
    if (fd < 0)
        return nullptr;
    return std::make_unique<Connection>(fd);
}

int listenAt(std::string_view logicalSocketPath, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why + ": " + std::strerror(errno);
        return -1;
    };
    std::string host = toHost(logicalSocketPath);
    if (host.empty())
        return fail("not an absolute path");
    std::string folder = host.substr(0, host.rfind('/'));
    // Clients of any user must reach the socket; only its owner may replace it.
    std::string partial;
    for (size_t pos = 1; pos != std::string::npos;) {
        pos = folder.find('/', pos + 1);
        partial = folder.substr(0, pos);
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
            return fail("mkdir " + partial);
    }
    struct stat st {};
    if (::lstat(host.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            errno = EEXIST;
            return fail(host + " exists and is not a socket");
        }
        int probe = connectTo(logicalSocketPath);
        if (probe >= 0) {
            ::close(probe);
            errno = EADDRINUSE;
            return fail(host + " is served by another process");
        }
        ::unlink(host.c_str());
    }
    SocketAddress a;
    if (!makeAddress(host, a))
        return fail("socket path too long");
    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.valid())
        return fail("socket");
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&a.addr), a.length) != 0)
        return fail("bind " + host);
    ::chmod(host.c_str(), 0666);
    if (::listen(fd.get(), 64) != 0)
        return fail("listen");
    return fd.release();
}

// ---- Peer identity ----

PeerIdentity identifyPeer(int connectedFd) {
    PeerIdentity id;
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(connectedFd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.pid <= 0) {
        id.problem = "no peer credentials";
        return id;
    }
    id.pid = cred.pid;
    id.uid = cred.uid;

    // The pidfd names the process that connected, never a later holder of its pid. Kernels
    // without SO_PEERPIDFD (before 6.5) get a pidfd opened now instead, which leaves the short
    // window between the client's connect and this call in which its pid could be reused.
    int pidfdRaw = -1;
    len = sizeof pidfdRaw;
    if (::getsockopt(connectedFd, SOL_SOCKET, SO_PEERPIDFD, &pidfdRaw, &len) != 0)
        pidfdRaw = static_cast<int>(::syscall(SYS_pidfd_open, cred.pid, 0));
    Fd pidfd(pidfdRaw);
    if (!pidfd.valid()) {
        id.problem = "the client has already exited";
        return id;
    }
    std::string procPath = "/proc/" + std::to_string(cred.pid);
    Fd procDir(::open(procPath.c_str(), O_DIRECTORY | O_RDONLY | O_CLOEXEC));
    // Opened while the pidfd's process was alive, /proc/<pid> names that same process; every
    // read through procDir then fails (ESRCH) rather than reach another process.
    if (!procDir.valid() || !pidfdAlive(pidfd.get())) {
        id.problem = "the client has already exited";
        return id;
    }
    auto before = startTimeAt(procDir.get());
    char buf[4096];
    ssize_t n = ::readlinkat(procDir.get(), "exe", buf, sizeof buf - 1);
    auto after = startTimeAt(procDir.get());
    if (n <= 0 || !before || !after || *before != *after || !pidfdAlive(pidfd.get())) {
        id.problem = "the client's executable cannot be read";
        return id;
    }
    std::string exe(buf, static_cast<size_t>(n));
    // The kernel marks a replaced or removed executable; its name no longer means anything.
    if (exe.size() >= 10 && exe.compare(exe.size() - 10, 10, " (deleted)") == 0) {
        id.problem = "the client's executable was removed or replaced: " + exe;
        return id;
    }
    auto logical = toLogical(exe);
    if (!logical) {
        id.problem = "the client's executable lies outside the volume: " + exe;
        return id;
    }
    id.executable = *logical;
    return id;
}

// ---- Listener ----

Listener::Listener(int fd, int wakeFd, bool inherited, std::string ownedHostPath)
    : fd_(fd), wakeFd_(wakeFd), inherited_(inherited), ownedHostPath_(std::move(ownedHostPath)) {}

Listener::~Listener() {
    if (fd_ >= 0)
        ::close(fd_);
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
    if (!ownedHostPath_.empty())
        ::unlink(ownedHostPath_.c_str());
}

std::unique_ptr<Listener> Listener::create(std::string_view service, std::string* error) {
    int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        if (error)
            *error = "eventfd failed";
        return nullptr;
    }
    // VENDREL_XPC_FDS = "name=fd[,name=fd...]" from the launchd stand-in.
    if (const char* fds = ::getenv("VENDREL_XPC_FDS")) {
        std::string_view list = fds;
        while (!list.empty()) {
            size_t comma = list.find(',');
            std::string_view item = list.substr(0, comma);
            list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
            size_t eq = item.rfind('=');
            if (eq == std::string_view::npos || item.substr(0, eq) != service)
                continue;
            int fd = std::atoi(std::string(item.substr(eq + 1)).c_str());
            int accepting = 0;
            socklen_t len = sizeof accepting;
            if (fd > 2 && ::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &accepting, &len) == 0 &&
                accepting) {
                ::fcntl(fd, F_SETFD, FD_CLOEXEC);
                return std::unique_ptr<Listener>(new Listener(fd, wake, true, {}));
            }
        }
    }
    int fd = listenAt(serviceSocketPath(service), error);
    if (fd < 0) {
        ::close(wake);
        return nullptr;
    }
    return std::unique_ptr<Listener>(new Listener(fd, wake, false, hostOf(service)));
}

void Listener::stop() {
    uint64_t one = 1;
    ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
    (void)ignored;
}

void Listener::run(const Handler& handler) {
    struct Served {
        std::thread thread;
        int fd = -1;
        bool done = false;
    };
    std::mutex mutex;
    std::list<Served> served;
    // A slot stays in the list until its thread has been joined: the thread writes to it up
    // to its last statement.
    auto reap = [&](bool all) {
        for (;;) {
            std::thread t;
            {
                std::lock_guard lock(mutex);
                auto it = std::find_if(served.begin(), served.end(), [&](const Served& s) {
                    return (all || s.done) && s.thread.joinable();
                });
                if (it == served.end())
                    break;
                t = std::move(it->thread);
            }
            t.join();
            std::lock_guard lock(mutex);
            served.remove_if([](const Served& s) { return !s.thread.joinable(); });
        }
    };
    for (;;) {
        pollfd p[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        int r = ::poll(p, 2, 1000);
        if (r < 0 && errno != EINTR)
            break;
        if (p[1].revents)
            break;
        reap(false);
        if (r <= 0 || !(p[0].revents & POLLIN))
            continue;
        int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0)
            continue;
        {
            // Each connection holds a thread: past the cap a newcomer is turned away at once
            // instead of letting stalled clients pile threads up.
            std::lock_guard lock(mutex);
            if (served.size() >= kMaxConnections) {
                ::close(c);
                continue;
            }
        }
        // The identity is taken now, while the client is connected.
        PeerIdentity peer = identifyPeer(c);
        std::lock_guard lock(mutex);
        served.emplace_back();
        Served* slot = &served.back();
        slot->fd = c;
        slot->thread = std::thread([&handler, &mutex, slot, c, peer = std::move(peer)] {
            {
                Connection connection(c);
                handler(connection, peer);
                // Forgotten before the descriptor closes, so that stop never shuts down a
                // reused descriptor number.
                std::lock_guard l(mutex);
                slot->fd = -1;
            }
            std::lock_guard l(mutex);
            slot->done = true;
        });
    }
    // A client that keeps its connection open must not hold the shutdown up: its next read
    // ends, while a message already being worked on still gets its reply.
    {
        std::lock_guard lock(mutex);
        for (auto& s : served)
            if (s.fd >= 0)
                ::shutdown(s.fd, SHUT_RD);
    }
    reap(true);
}

}  // namespace vendrel::platform::xpc
