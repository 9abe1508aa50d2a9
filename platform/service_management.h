// Authorization and helper blessing stand-ins (Security's AuthorizationCreate and
// AuthorizationCopyRights, ServiceManagement's SMJobBless).
//
// Authorization: there is no password dialog here. VENDREL_AUTH decides what the user
// "answers": "allow" (status 0), "deny" (-60005, errAuthorizationDenied) or "cancel" (-60006,
// errAuthorizationCanceled, the user pressed Cancel). Unset, root is allowed and anyone else
// denied, which is what an administrator check without a dialog amounts to.
//
// Blessing (SMJobBless in the system domain), in order, each failure an error:
//   1. the authorization must hold the right "com.apple.ServiceManagement.blesshelper";
//   2. the running application's Info.plist must name the label in SMPrivilegedExecutables;
//   3. the helper is the file Contents/Library/LaunchServices/<label> of the running bundle
//      (a regular file, not a link);
//   4. the helper's embedded information list must carry CFBundleIdentifier <label>, and its
//      SMAuthorizedClients a requirement that the application satisfies; the application's
//      requirement for the helper must be satisfied by the helper. Requirements of the form
//      `identifier X` (X optionally in double quotes) are understood; any other form is not
//      satisfied;
//   5. the helper's embedded launchd list must carry Label <label>;
//   6. the helper is copied to /Library/PrivilegedHelperTools/<label> (mode 0544), its launchd
//      list, with "Program" set to that path, written to /Library/LaunchDaemons/<label>.plist;
//   7. the job is loaded through the launchd stand-in, which replaces a loaded job with the
//      same label. When the stand-in is not running the installation still stands: the
//      stand-in loads the job from the folder when it starts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vendrel::platform {

using OSStatus = int32_t;
inline constexpr OSStatus errAuthorizationSuccess = 0;
inline constexpr OSStatus errAuthorizationInvalidRef = -60002;
inline constexpr OSStatus errAuthorizationDenied = -60005;
inline constexpr OSStatus errAuthorizationCanceled = -60006;

inline constexpr std::string_view kSMRightBlessPrivilegedHelper =
    "com.apple.ServiceManagement.blesshelper";
inline constexpr std::string_view kSMDomainSystemLaunchd = "kSMDomainSystemLaunchd";

// AuthorizationFlags bits.
inline constexpr uint32_t kAuthorizationFlagInteractionAllowed = 1;
inline constexpr uint32_t kAuthorizationFlagExtendRights = 2;
inline constexpr uint32_t kAuthorizationFlagPreAuthorize = 16;

struct Authorization {
    bool blessRightGranted = false;
};

OSStatus AuthorizationCreate(std::optional<Authorization>& out);
// Obtains `right` on the reference; a null reference gives errAuthorizationInvalidRef.
OSStatus AuthorizationCopyRights(std::optional<Authorization>& ref, std::string_view right,
                                 uint32_t flags);

struct Error {
    std::string domain;  // "NSOSStatusErrorDomain" or "CFErrorDomainLaunchd"
    int64_t code = 0;
    std::string description;
};

// ServiceManagement error codes (domain CFErrorDomainLaunchd).
inline constexpr int64_t kSMErrorInternalFailure = 2;
inline constexpr int64_t kSMErrorInvalidSignature = 3;
inline constexpr int64_t kSMErrorAuthorizationFailure = 4;
inline constexpr int64_t kSMErrorToolNotValid = 5;

bool SMJobBless(std::string_view domain, std::string_view label,
                const std::optional<Authorization>& auth, Error* error);

// True when `requirement` (a code requirement) is satisfied by a program with `identifier`.
bool requirementSatisfied(std::string_view requirement, std::string_view identifier);

}  // namespace vendrel::platform
