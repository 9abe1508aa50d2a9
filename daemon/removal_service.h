// The daemon's listener: serves the two messages of common/daemon_messages.h on the Mach
// service "com.Vendrel.Ostrand.DaemonServer", as root.
//
// Who may make it act: only a client whose executable is the installed application
// ("/Applications/Vendrel.app/Contents/MacOS/Vendrel" on the volume), established from the
// connection's own credentials (platform/xpc.h). Any other process, whatever its user, is
// logged and disconnected before it can send a message.
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
    void handleRemovalRequest(const Reply& reply);
    void handleSelfRemoval(const Reply& reply);

    // Ends the run loop; async-signal-safe.
    void stop();

    platform::xpc::Listener* listener() const { return listener_.get(); }

  private:
    void serve(platform::xpc::Connection& connection, const platform::xpc::PeerIdentity& peer);

    std::unique_ptr<platform::xpc::Listener> listener_;
    std::mutex requestLock_;
};

}  // namespace vendrel
