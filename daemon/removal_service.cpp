#include "daemon/removal_service.h"

#include <optional>

#include "common/daemon_messages.h"
#include "common/daemon_request.h"
#include "common/extended_delete.h"
#include "common/files.h"
#include "common/guard.h"
#include "common/home_setting.h"
#include "common/request_files.h"
#include "platform/child.h"
#include "platform/fs.h"
#include "platform/launchd.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/syslog.h"
#include "platform/users.h"

namespace vendrel {
namespace {

namespace msg = daemon_messages;
using platform::logNotice;

constexpr std::string_view kVersionLinePrefix = "com.Vendrel.Ostrand.DaemonServer Version ";

// Moves an installed file of the daemon to root's Trash, then makes sure with "/bin/rm -f"
// that nothing is left at the path.
void removeInstalledFile(std::string_view logical) {
    const std::string path(logical);
    files::moveToTrash(path);
    platform::runAndWait({"/bin/rm", "-f", platform::toHost(path)});
}

struct Caller {
    bool allowed = false;
    bool administrator = false;
    std::string home;     // the home the request acts in
    std::string bundle;   // the bundle it removes
    std::string refusal;  // why not, when !allowed
};

// Who the caller is, from its uid alone. Its home is its own (root may name one in the
// request); a caller who does not administer the host may remove only a bundle it owns.
Caller authorise(uint32_t uid, const request_files::FolderList& f) {
    Caller c;
    c.bundle = f.installPath;
    c.administrator = platform::users::isAdministrator(uid);
    if (uid == 0) {
        c.home = f.userHome;
    } else if (auto own = platform::users::homeOf(uid)) {
        c.home = *own;
    } else {
        c.refusal = "user " + std::to_string(uid) + " has no home folder in the user database";
        return c;
    }
    if (f.userHome != c.home) {
        c.refusal = "the request names the home \"" + f.userHome + "\", but user " +
                    std::to_string(uid) + "'s home is \"" + c.home + "\"";
        return c;
    }
    if (!c.administrator) {
        const auto attrs = platform::fs::attributesOfItem(f.installPath);
        if (attrs && attrs->uid != uid) {
            c.refusal = "\"" + f.installPath + "\" belongs to user " + std::to_string(attrs->uid) +
                        ", not to the caller (user " + std::to_string(uid) +
                        ", not an administrator)";
            return c;
        }
    }
    c.allowed = true;
    return c;
}

}  // namespace

RemovalService::RemovalService() {
    std::string error;
    listener_ = platform::xpc::Listener::create(msg::kServiceName, &error);
    if (!listener_)
        logNotice("NSXPC Listener: cannot listen: " + error);
}

std::string RemovalService::version() {
    if (!platform::fs::fileExists(msg::kInstalledLaunchdPlist)) {
        logNotice("NSXPC cant not find com.Vendrel.Ostrand.DaemonServer.plist");
        return "NULL";
    }
    std::string version = "NULL";
    if (auto job = platform::plist::readDictionary(msg::kInstalledLaunchdPlist)) {
        if (const std::string* v = platform::plist::stringForKey(*job, msg::kVersionKey))
            version = *v;
    }
    logNotice(std::string(kVersionLinePrefix) + version + " NSXPC is running...");
    return version;
}

bool RemovalService::run() {
    if (!listener_)
        return false;
    const std::string running = version();
    listener_->run([this](platform::xpc::Connection& c, const platform::xpc::PeerIdentity& p) {
        serve(c, p);
    });
    logNotice(std::string(kVersionLinePrefix) + running + " NSXPC is exits");
    return true;
}

void RemovalService::stop() {
    if (listener_)
        listener_->stop();
}

bool RemovalService::listener_shouldAcceptNewConnection(const platform::xpc::PeerIdentity& peer) {
    logNotice("NSXPC Listener: New connection come in...");
    if (peer.executable && *peer.executable == msg::kTrustedClientExecutable)
        return true;
    logNotice("NSXPC Listener: refused a client that is not Vendrel: pid " +
              std::to_string(peer.pid) + ", uid " + std::to_string(peer.uid) + ", " +
              (peer.executable ? "executable " + *peer.executable : peer.problem));
    return false;
}

void RemovalService::serve(platform::xpc::Connection& connection,
                           const platform::xpc::PeerIdentity& peer) {
    if (!listener_shouldAcceptNewConnection(peer))
        return;
    auto reply = [&connection](const std::string& text) { connection.send(text); };
    // A client that says nothing for this long is closed: it would hold a thread for ever.
    constexpr double kIdleSeconds = 30.0;
    while (auto payload = connection.receive(kIdleSeconds)) {
        auto message = msg::parseMessage(*payload);
        if (!message) {
            logNotice("NSXPC Listener: refused an unknown message");
            return;
        }
        switch (*message) {
            case msg::Message::DeleteFoldersFiles:
                handleRemovalRequest(peer, reply);
                break;
            case msg::Message::KillSelf:
                handleSelfRemoval(peer, reply);
                break;
        }
    }
}

void RemovalService::handleRemovalRequest(const platform::xpc::PeerIdentity& peer,
                                          const Reply& reply) {
    std::lock_guard lock(requestLock_);
    logNotice("NSXPC Listener: MSG DeleteFoldersFiles...");
    const auto request = daemon_request::read(request_files::kInstalledContentsFolder, peer.uid);
    const auto& f = request.folders;
    switch (request.verdict) {
        case daemon_request::Verdict::Missing:
            logNotice("MSG DeleteFoldersFiles: Can not find Delete_FoldersFiles.txt");
            reply(std::string(msg::kReplyDeleteFoldersFilesFailed));
            return;
        case daemon_request::Verdict::Ignored:
            reply(std::string(msg::kReplyDeleteFoldersFilesSuccess));
            return;
        case daemon_request::Verdict::Refused:
        case daemon_request::Verdict::Act:
            break;
    }
    logNotice("MSG DeleteFoldersFiles: " + f.appName + " -> " + f.installPath + " -> " +
              f.userHome);
    std::optional<std::string> refusal;
    if (request.verdict == daemon_request::Verdict::Refused)
        refusal = request.refusal;
    const auto caller = authorise(peer.uid, f);
    if (!refusal && !caller.allowed)
        refusal = caller.refusal;
    if (refusal) {
        logNotice("MSG DeleteFoldersFiles: refused: " + *refusal);
        reply(std::string(msg::kReplyDeleteFoldersFilesFailed));
        return;
    }
    for (const auto& note : request.notes)
        logNotice("MSG DeleteFoldersFiles: " + note);

    // A caller who does not administer the host reaches only its own bundle and its home.
    struct Confinement {
        explicit Confinement(const Caller& c) {
            if (!c.administrator)
                guard::setConfinement(std::vector<std::string>{c.bundle, c.home});
        }
        ~Confinement() { guard::setConfinement(std::nullopt); }
    } confinement(caller);
    files::moveToTrash(f.installPath);
    setHomeDirectory(caller.home);
    extended_delete::run(f.installPath, f.appName, f.bundleId, request.commandList, Mode::Root);
    reply(std::string(msg::kReplyDeleteFoldersFilesSuccess));
}

void RemovalService::handleSelfRemoval(const platform::xpc::PeerIdentity& peer,
                                       const Reply& reply) {
    std::lock_guard lock(requestLock_);
    logNotice("NSXPC Listener: MSG KillSelf...");
    if (!platform::users::isAdministrator(peer.uid)) {
        logNotice("NSXPC Listener: MSG KillSelf refused: user " + std::to_string(peer.uid) +
                  " is not an administrator");
        return;  // no reply: the caller sees the removal fail
    }
    removeInstalledFile(msg::kInstalledExecutable);
    logNotice("NSXPC Listener: MSG KillSelf Delete Server...");
    removeInstalledFile(msg::kInstalledLaunchdPlist);
    logNotice("NSXPC Listener: MSG KillSelf Delete plist...");
    // The property list is gone by now; the launchd stand-in finds the job by the path it was
    // loaded from. It stops starting the job and asks this process to end, which it does
    // after this reply (the run loop finishes the connections it is serving).
    platform::launchd::unload(msg::kInstalledLaunchdPlist);
    logNotice("NSXPC Listener: MSG KillSelf Unload Server...");
    reply(std::string(msg::kReplyKillSelf));
}

}  // namespace vendrel
