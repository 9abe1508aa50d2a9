#include "app/daemon_client/daemon_connection.h"

#include <sstream>

#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/launchd.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/xpc.h"

namespace vendrel::daemon_client {
namespace msg = daemon_messages;
namespace {

std::string versionIn(const std::optional<platform::plist::Dictionary>& dict) {
    if (!dict)
        return "NULL";
    const std::string* v = platform::plist::stringForKey(*dict, msg::kVersionKey);
    return v ? *v : "NULL";
}

std::unique_ptr<platform::xpc::Connection> sendOnly(msg::Message message) {
    auto connection = platform::xpc::connectToService(msg::kServiceName);
    if (!connection || !connection->send(msg::payloadOf(message)))
        return nullptr;
    return connection;
}

}  // namespace

std::optional<std::string> sendMessage(msg::Message message, double replyTimeoutSeconds) {
    auto connection = sendOnly(message);
    if (!connection)
        return std::nullopt;
    return connection->receive(replyTimeoutSeconds);
}

bool sendRemovalRequest() {
    auto connection = sendOnly(msg::Message::DeleteFoldersFiles);
    platform::sleepSeconds(3.0);
    return true;
}

bool sendSelfRemoval() {
    sendOnly(msg::Message::KillSelf);
    return true;
}

std::string applicationDaemonVersion() {
    return versionIn(platform::plist::readDictionary(
        platform::appendPathComponent(platform::runningBundlePath(), "Contents/Info.plist")));
}

std::string installedDaemonVersion() {
    return versionIn(platform::plist::readDictionary(msg::kInstalledLaunchdPlist));
}

DaemonStatus daemonStatus() {
    DaemonStatus s;
    s.installed = platform::fs::fileExists(msg::kInstalledLaunchdPlist);
    s.installedVersion = installedDaemonVersion();
    s.applicationVersion = applicationDaemonVersion();
    auto jobs = platform::launchd::list();
    s.launchdReached = jobs.reached;
    std::istringstream lines(jobs.text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string label, pid;
        std::getline(fields, label, '\t');
        std::getline(fields, pid, '\t');
        if (label != msg::kLabel)
            continue;
        s.loaded = true;
        if (pid != "-")
            s.pid = std::atoi(pid.c_str());
    }
    if (auto probe = platform::xpc::connectToService(msg::kServiceName)) {
        s.reachable = true;
        // Held open for a moment, so that the daemon can see who connected before the
        // connection ends (it would otherwise log a client it could not identify). A fixed
        // wait like the others, so it follows the time scale.
        probe->receive(0.5 * platform::timeScale());
    }
    return s;
}

}  // namespace vendrel::daemon_client
