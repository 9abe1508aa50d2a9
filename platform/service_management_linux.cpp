#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/embedded.h"
#include "platform/fs.h"
#include "platform/launchd.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/service_management.h"

namespace vendrel::platform {
namespace {

constexpr std::string_view kHelperToolsFolder = "/Library/PrivilegedHelperTools";
constexpr std::string_view kLaunchDaemonsFolder = "/Library/LaunchDaemons";

bool fail(Error* error, int64_t code, std::string description) {
    if (error)
        *error = Error{"CFErrorDomainLaunchd", code, std::move(description)};
    return false;
}

std::optional<plist::Dictionary> embeddedDictionary(const std::string& file,
                                                    std::string_view section) {
    auto bytes = embeddedSection(file, section);
    if (!bytes)
        return std::nullopt;
    auto value = plist::parse(*bytes);
    if (!value || !value->dictionary())
        return std::nullopt;
    return *value->dictionary();
}

}  // namespace

OSStatus AuthorizationCreate(std::optional<Authorization>& out) {
    out = Authorization{};
    return errAuthorizationSuccess;
}

OSStatus AuthorizationCopyRights(std::optional<Authorization>& ref, std::string_view right,
                                 uint32_t flags) {
    if (!ref)
        return errAuthorizationInvalidRef;
    const char* answer = ::getenv("VENDREL_AUTH");
    std::string_view a = answer ? answer : (::geteuid() == 0 ? "allow" : "deny");
    if (a == "cancel") {
        // Only a dialog can be cancelled; without interaction the answer is a denial.
        return (flags & kAuthorizationFlagInteractionAllowed) ? errAuthorizationCanceled
                                                              : errAuthorizationDenied;
    }
    if (a != "allow")
        return errAuthorizationDenied;
    if (right == kSMRightBlessPrivilegedHelper)
        ref->blessRightGranted = true;
    return errAuthorizationSuccess;
}

bool requirementSatisfied(std::string_view requirement, std::string_view identifier) {
    constexpr std::string_view kPrefix = "identifier ";
    if (requirement.substr(0, kPrefix.size()) != kPrefix)
        return false;
    std::string_view id = requirement.substr(kPrefix.size());
    if (id.size() >= 2 && id.front() == '"' && id.back() == '"')
        id = id.substr(1, id.size() - 2);
    return !id.empty() && id == identifier;
}

bool SMJobBless(std::string_view domain, std::string_view label,
                const std::optional<Authorization>& auth, Error* error) {
    if (domain != kSMDomainSystemLaunchd)
        return fail(error, kSMErrorInternalFailure, "only the system domain is supported");
    if (!auth || !auth->blessRightGranted)
        return fail(error, kSMErrorAuthorizationFailure,
                    "the authorization does not hold the right to bless a helper");
    if (label.empty() || label.find('/') != std::string_view::npos || label == "." || label == "..")
        return fail(error, kSMErrorToolNotValid, "not a usable label");

    const std::string bundle = runningBundlePath();
    auto appInfo = plist::readDictionary(appendPathComponent(bundle, "Contents/Info.plist"));
    if (!appInfo)
        return fail(error, kSMErrorToolNotValid, "the application has no Info.plist");
    const std::string* appId = plist::stringForKey(*appInfo, "CFBundleIdentifier");
    const plist::Value* privileged = plist::valueForKey(*appInfo, "SMPrivilegedExecutables");
    const std::string* helperRequirement =
        privileged && privileged->dictionary()
            ? plist::stringForKey(*privileged->dictionary(), label)
            : nullptr;
    if (!appId || !helperRequirement)
        return fail(error, kSMErrorToolNotValid,
                    "the application does not name the helper in SMPrivilegedExecutables");

    const std::string helper =
        appendPathComponent(appendPathComponent(bundle, "Contents/Library/LaunchServices"), label);
    auto attrs = fs::attributesOfItem(helper);
    if (!attrs || attrs->type != fs::FileType::Regular)
        return fail(error, kSMErrorToolNotValid, "no helper at " + helper);

    auto helperInfo = embeddedDictionary(helper, "__info_plist");
    auto jobPlist = embeddedDictionary(helper, "__launchd_plist");
    if (!helperInfo || !jobPlist)
        return fail(error, kSMErrorToolNotValid, "the helper carries no readable property lists");
    const std::string* helperId = plist::stringForKey(*helperInfo, "CFBundleIdentifier");
    if (!helperId || *helperId != label || !requirementSatisfied(*helperRequirement, *helperId))
        return fail(error, kSMErrorInvalidSignature,
                    "the helper does not satisfy the application's requirement");
    bool clientAllowed = false;
    if (const plist::Value* clients = plist::valueForKey(*helperInfo, "SMAuthorizedClients");
        clients && clients->array()) {
        for (const auto& c : *clients->array())
            if (c.string() && requirementSatisfied(*c.string(), *appId))
                clientAllowed = true;
    }
    if (!clientAllowed)
        return fail(error, kSMErrorInvalidSignature,
                    "the helper does not accept this application as its client");
    const std::string* jobLabel = plist::stringForKey(*jobPlist, "Label");
    if (!jobLabel || *jobLabel != label)
        return fail(error, kSMErrorToolNotValid, "the helper's launchd list has another label");

    auto bytes = fs::readFile(helper, kMaxExecutableBytes);
    const std::string installed = appendPathComponent(kHelperToolsFolder, label);
    const std::string jobPath =
        appendPathComponent(kLaunchDaemonsFolder, std::string(label) + ".plist");
    if (!bytes || !fs::createDirectories(kHelperToolsFolder) ||
        !fs::createDirectories(kLaunchDaemonsFolder) ||
        !fs::writeFileAtomically(installed, *bytes) ||
        ::chmod(toHost(installed).c_str(), 0544) != 0)
        return fail(error, kSMErrorInternalFailure, "cannot install the helper at " + installed);
    (*jobPlist)["Program"] = plist::Value(installed);
    if (!plist::writeXmlFile(jobPath, plist::Value(*jobPlist)))
        return fail(error, kSMErrorInternalFailure, "cannot write " + jobPath);

    auto reply = launchd::load(jobPath);
    if (reply.reached && !reply.ok)
        return fail(error, kSMErrorInternalFailure, "launchd refused the job: " + reply.text);
    return true;
}

}  // namespace vendrel::platform
