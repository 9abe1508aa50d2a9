#include "app/daemon_client/KIVAppDelegate.h"

#include "app/daemon_client/daemon_connection.h"
#include "common/daemon_messages.h"
#include "platform/fs.h"
#include "platform/strings.h"

namespace vendrel {
namespace msg = daemon_messages;

KIVAppDelegate::LaunchResult KIVAppDelegate::applicationDidFinishLaunching() {
    LaunchResult result;
    if (!mpu_IsNeedInstallDaemonServer())
        return result;
    if (platform::AuthorizationCreate(mpr_AuthRef) != platform::errAuthorizationSuccess)
        mpr_AuthRef.reset();
    if (mpu_BlessHelperWithLabel(std::string(msg::kLabel), &result.error)) {
        result.outcome = Outcome::DaemonInstalled;
        return result;
    }
    if (result.error.code == platform::errAuthorizationCanceled) {
        result.outcome = Outcome::Cancelled;
        result.terminate = true;
    } else {
        result.outcome = Outcome::Failed;
    }
    result.mpu_bool_HelperTool_Init = true;
    return result;
}

bool KIVAppDelegate::mpu_IsNeedInstallDaemonServer() {
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

bool KIVAppDelegate::mpu_BlessHelperWithLabel(const std::string& label, platform::Error* error) {
    constexpr uint32_t kFlags = platform::kAuthorizationFlagInteractionAllowed |
                                platform::kAuthorizationFlagExtendRights |
                                platform::kAuthorizationFlagPreAuthorize;
    platform::Error failure;
    bool ok = false;
    const platform::OSStatus status = platform::AuthorizationCopyRights(
        mpr_AuthRef, platform::kSMRightBlessPrivilegedHelper, kFlags);
    if (status != platform::errAuthorizationSuccess) {
        failure = {"NSOSStatusErrorDomain", status, "authorization failed"};
    } else {
        ok = platform::SMJobBless(platform::kSMDomainSystemLaunchd, label, mpr_AuthRef, &failure);
    }
    if (!ok && error)
        *error = failure;
    return ok;
}

bool KIVAppDelegate::mpu_SendMsgToDaemonServer_KillSelf() {
    return daemon_client::mpu_SendMsgToDaemonServer_KillSelf();
}

}  // namespace vendrel
