// The application's side of the daemon's protocol (common/daemon_messages.h) over the XPC
// stand-in: the two sending operations of the application and a status probe.
//
// The daemon acts only for the installed application's own executable, identified while the
// connection is accepted; a client that has already exited by then cannot be identified and
// is refused. The sending operations therefore return while their process lives on (the
// application keeps running for at least the wait that follows each of them).
#pragma once

#include <optional>
#include <string>

#include "common/daemon_messages.h"

namespace vendrel::daemon_client {

// Sends one message on a fresh connection and waits up to replyTimeoutSeconds (unscaled) for
// the reply. nullopt when the daemon cannot be reached or does not answer in time.
std::optional<std::string> sendMessage(daemon_messages::Message message,
                                       double replyTimeoutSeconds);

// Sends Listener_Msg_DeleteFoldersFiles:, blocks the caller for 3.0 seconds (the only
// coordination with the daemon's work), and returns true. The reply and any connection
// error are ignored.
bool sendRemovalRequest();

// Sends Listener_Msg_KillSelf: without waiting and returns true; the caller waits.
bool sendSelfRemoval();

struct DaemonStatus {
    bool installed = false;          // the launchd property list exists
    std::string installedVersion;    // "NULL" when missing
    std::string applicationVersion;  // "NULL" when missing
    bool launchdReached = false;     // the launchd stand-in answered
    bool loaded = false;             // launchd knows the job
    std::optional<int> pid;          // running instance
    bool reachable = false;          // a connection to the service was accepted
};
// Note: probing reachability connects to the service, which starts the daemon on demand.
DaemonStatus daemonStatus();

// "DaemonServer Version" of the running application's Info.plist and of the installed
// launchd property list; "NULL" when absent.
std::string applicationDaemonVersion();
std::string installedDaemonVersion();

}  // namespace vendrel::daemon_client
