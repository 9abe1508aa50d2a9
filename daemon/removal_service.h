// The daemon's listener: serves the two messages of common/daemon_messages.h on the Mach
// service "com.Vendrel.Ostrand.DaemonServer", as root.
//
// Who may make it act: the caller's user, from the connection's own credentials
// (platform/xpc.h), decides what a request may reach. Its home is the one from the user
// database (root alone may name another in the request); a user who does not administer the
// host (platform/users.h) may have removed only a bundle it owns and leftovers inside its own
// home (common/guard.h's confinement), and may not make the daemon remove itself. The request
// files count only when fresh and written by the caller (common/daemon_request.h). Besides,
// only a client whose executable is the installed application
// ("/Applications/Vendrel.app/Contents/MacOS/Vendrel" on the volume) is served at all; that
// check keeps strangers out early, but nothing relies on it alone: a process may exec the
// application after it connected, or have code injected into it.
//
// Serialisation: connections are accepted and read concurrently, each on its own thread, but
// the work of every message holds one lock of the daemon. The engine's home directory setting
// is process-wide, and a request sets it and then runs the engine, which reads it; two
// requests interleaved there would make one user's "~" another's. One request at a time also
// keeps two removals from racing over the same folders as root.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/xpc.h"

namespace vendrel {

class RemovalService {
  public:
    using Reply = std::function<void(const std::string&)>;

    // Creates the listener for the service (nullptr listener when the socket is unusable;
    // run then returns at once).
    RemovalService();

    // Logs the version, serves until stop(), logs the exit line. False when there was no
    // listener to run.
    bool run();
    // Reads the installed launchd list's version and logs the start line; returns the version
    // ("NULL" when the list or the key is missing).
    std::string version();
    // Logs the new connection and decides whether this client may make the daemon act.
    bool listener_shouldAcceptNewConnection(const platform::xpc::PeerIdentity& peer);
    void handleRemovalRequest(const platform::xpc::PeerIdentity& peer, const Reply& reply);
    void handleSelfRemoval(const platform::xpc::PeerIdentity& peer, const Reply& reply);

    // Ends the run loop; async-signal-safe.
    void stop();

    platform::xpc::Listener* listener() const { return listener_.get(); }

  private:
    void serve(platform::xpc::Connection& connection, const platform::xpc::PeerIdentity& peer);

    std::unique_ptr<platform::xpc::Listener> listener_;
    std::mutex requestLock_;
};

}  // namespace vendrel
