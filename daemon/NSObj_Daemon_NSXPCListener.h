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

class NSObj_Daemon_NSXPCListener {
  public:
    using Reply = std::function<void(const std::string&)>;

    // Creates the listener for the service (nullptr listener when the socket is unusable;
    // mpu_pro_Listener_Run then returns at once).
    NSObj_Daemon_NSXPCListener();

    // Logs the version, serves until stop(), logs the exit line. False when there was no
    // listener to run.
    bool mpu_pro_Listener_Run();
    // Reads the installed launchd list's version and logs the start line; returns the version
    // ("NULL" when the list or the key is missing).
    std::string mpu_pro_Listener_GetSelfVersion();
    // Logs the new connection and decides whether this client may make the daemon act.
    bool listener_shouldAcceptNewConnection(const platform::xpc::PeerIdentity& peer);
    void Listener_Msg_DeleteFoldersFiles(const Reply& reply);
    void Listener_Msg_KillSelf(const Reply& reply);

    // Ends the run loop; async-signal-safe.
    void stop();

    platform::xpc::Listener* mpr_Listener() const { return mpr_Listener_.get(); }

  private:
    void serve(platform::xpc::Connection& connection, const platform::xpc::PeerIdentity& peer);

    std::unique_ptr<platform::xpc::Listener> mpr_Listener_;
    std::mutex requestLock_;
};

}  // namespace vendrel
