// The daemon's protocol, shared by the application (which sends) and the daemon (which
// serves): the Mach service name, the closed set of messages and their reply texts.
//
// A message carries no data: the daemon takes everything it acts on from the request files
// (common/request_files.h). On the wire each message and each reply is one frame of the XPC
// stand-in (platform/xpc.h) whose payload is the message's name or the reply's text. Anything
// that is not exactly one of the names below is refused without action.
#pragma once

#include <optional>
#include <string_view>

namespace vendrel::daemon_messages {

inline constexpr std::string_view kServiceName = "com.Vendrel.Ostrand.DaemonServer";
inline constexpr std::string_view kLabel = "com.Vendrel.Ostrand.DaemonServer";

// Installed files of the daemon (logical paths).
inline constexpr std::string_view kInstalledExecutable =
    "/Library/PrivilegedHelperTools/com.Vendrel.Ostrand.DaemonServer";
inline constexpr std::string_view kInstalledLaunchdPlist =
    "/Library/LaunchDaemons/com.Vendrel.Ostrand.DaemonServer.plist";
inline constexpr std::string_view kVersionKey = "DaemonServer Version";

// The only program the daemon acts for: the installed application's executable.
inline constexpr std::string_view kTrustedClientExecutable =
    "/Applications/Vendrel.app/Contents/MacOS/Vendrel";

enum class Message {
    DeleteFoldersFiles,  // Listener_Msg_DeleteFoldersFiles:
    KillSelf,            // Listener_Msg_KillSelf:
};

inline constexpr std::string_view kReplyDeleteFoldersFilesFailed = "MSG DeleteFoldersFiles: Failed";
inline constexpr std::string_view kReplyDeleteFoldersFilesSuccess =
    "MSG DeleteFoldersFiles: Success";
inline constexpr std::string_view kReplyKillSelf = "MSG KillSelf success.";

// The payload that names a message on the wire.
std::string_view payloadOf(Message message);
// The message a payload names, or nullopt for anything else (case and length exact).
std::optional<Message> parseMessage(std::string_view payload);

}  // namespace vendrel::daemon_messages
