#include "app/daemon_client/helper_install.h"

#include "app/daemon_client/daemon_connection.h"
#include "common/daemon_messages.h"
#include "platform/fs.h"
#include "platform/strings.h"

namespace vendrel {
namespace msg = daemon_messages;

HelperInstaller::LaunchResult HelperInstaller::installAtLaunch() {
    LaunchResult result;
    if (!needsInstall())
        return result;
    if (platform::AuthorizationCreate(authorization_) != platform::errAuthorizationSuccess)
        authorization_.reset();
    if (blessHelper(std::string(msg::kLabel), &result.error)) {
        result.outcome = Outcome::DaemonInstalled;
        return result;
    }
    if (result.error.code == platform::errAuthorizationCanceled) {
        result.outcome = Outcome::Cancelled;
        result.terminate = true;
    } else {
        result.outcome = Outcome::Failed;
    }
    result.attempted = true;
    return result;
}

bool HelperInstaller::needsInstall() {
    if (!platform::fs::fileExists(msg::kInstalledLaunchdPlist))
        return true;
    const std::string mine = daemon_client::applicationDaemonVersion();
    const std::string installed = daemon_client::installedDaemonVersion();
    if (platform::equals65(mine, installed))
        return false;
    // The old daemon gets up to a second to leave. Its answer comes after it has removed its
    // files and unloaded its job, so waiting for it (rather than for a fixed second) keeps
    // the installation that follows from racing with the old daemon's self-removal.
    daemon_client::sendMessage(msg::Message::KillSelf, 1.0);
    return true;
}

bool HelperInstaller::blessHelper(const std::string& label, platform::Error* error) {
    constexpr uint32_t kFlags = platform::kAuthorizationFlagInteractionAllowed |
                                platform::kAuthorizationFlagExtendRights |
                                platform::kAuthorizationFlagPreAuthorize;
    platform::Error failure;
    bool ok = false;
    const platform::OSStatus status = platform::AuthorizationCopyRights(
        authorization_, platform::kSMRightBlessPrivilegedHelper, kFlags);
    if (status != platform::errAuthorizationSuccess) {
        failure = {"NSOSStatusErrorDomain", status, "authorization failed"};
    } else {
        ok =
            platform::SMJobBless(platform::kSMDomainSystemLaunchd, label, authorization_, &failure);
    }
    if (!ok && error)
        *error = failure;
    return ok;
}

bool HelperInstaller::sendSelfRemoval() {
    return daemon_client::sendSelfRemoval();
}

}  // namespace vendrel
