// The XPC stand-in: one local stream socket per Mach service name.
//
// The socket of service S lives on the volume at the logical path
//     /private/var/run/vendrel-xpc/S.sock
// (serviceSocketPath). Whoever serves S (the launchd stand-in on the job's behalf, or the
// program itself when started by hand) listens there; clients connect there.
//
// Socket activation: the launchd stand-in owns the listening socket of every service of a
// job, so that a client can connect while the job is not running (the stand-in then starts
// it). It hands the sockets to the job as inherited descriptors named in the environment
// variable VENDREL_XPC_FDS ("S=3" or "S1=3,S2=4"). Listener::create takes the inherited socket
// when there is one and binds its own otherwise.
//
// Wire format: frames of a 4-byte big-endian length followed by that many payload bytes,
// at most kMaxFramePayload. A longer or truncated frame ends the connection. What a payload
// means is the business of the protocol above this layer (common/daemon_messages.h).
//
// Peer identity: the listener identifies each client from the connection's own credentials
// (SO_PEERCRED, and SO_PEERPIDFD where the kernel has it) at accept time, and resolves the
// client's executable through a handle on that very process (/proc/<pid> opened as a folder,
// checked against the pidfd and the start time), so that no other process can take the
// client's place between the check and the answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vendrel::platform::xpc {

inline constexpr uint32_t kMaxFramePayload = 64 * 1024;
// Connections a listener serves at once; further clients are closed at accept.
inline constexpr size_t kMaxConnections = 16;

std::string serviceSocketPath(std::string_view service);  // logical

struct PeerIdentity {
    int pid = 0;
    uint32_t uid = 0;
    // The client's executable as a logical path; nullopt when it could not be established
    // with certainty (the process ended, lies outside the volume, its file was replaced...).
    std::optional<std::string> executable;
    std::string problem;  // why executable is nullopt
};

class Connection {
  public:
    explicit Connection(int fd);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool send(std::string_view payload);
    // Waits up to timeoutSeconds (unscaled; negative = forever) for one whole frame. nullopt
    // on end of stream, time-out, or a malformed frame (the connection is then useless).
    std::optional<std::string> receive(double timeoutSeconds = -1);
    int fd() const { return fd_; }

  private:
    int fd_;
};

// Connects to a service. nullptr when nobody listens (no socket, refused).
std::unique_ptr<Connection> connectToService(std::string_view service);

class Listener {
  public:
    using Handler = std::function<void(Connection&, const PeerIdentity&)>;

    // The inherited socket for `service` (VENDREL_XPC_FDS), or a socket of its own at
    // serviceSocketPath(service). nullptr with `error` set when neither works.
    static std::unique_ptr<Listener> create(std::string_view service, std::string* error);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Accepts until stop(). Each connection is served on a thread of its own; the handler
    // sees the connection's frames in order. On stop, run() stops accepting, waits for the
    // connections being served to end, and returns.
    void run(const Handler& handler);
    // Async-signal-safe: may be called from a signal handler or any thread.
    void stop();
    bool inherited() const { return inherited_; }

  private:
    Listener(int fd, int wakeFd, bool inherited, std::string ownedHostPath);
    int fd_;
    int wakeFd_;
    bool inherited_;
    std::string ownedHostPath_;  // removed on destruction when this listener bound it
};

// Identifies the process at the other end of a connected local socket (see above).
PeerIdentity identifyPeer(int connectedFd);

// Low-level pieces shared with the launchd stand-in: a listening socket at a logical path
// (mode 0666, folder created; a stale socket nobody listens on is replaced), -1 on failure.
int listenAt(std::string_view logicalSocketPath, std::string* error);
int connectTo(std::string_view logicalSocketPath);

}  // namespace vendrel::platform::xpc
