#include "app/online/update_check.h"

#include "app/online/endpoints.h"
#include "platform/fs.h"
#include "platform/http.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/strings.h"

namespace vendrel {
namespace {
namespace plist = platform::plist;

std::string contentsFolder() {
    return platform::appendPathComponent(platform::runningBundlePath(), "Contents");
}
}  // namespace

std::string UpdateCheck::localCopyPath() {
    return platform::appendPathComponent(contentsFolder(), "new_info.txt");
}

bool UpdateCheck::fetchNewInfo() {
    const std::string local = localCopyPath();
    if (platform::fs::fileExists(local))
        platform::fs::removeItem(local);
    // Bounded like the application's other downloads: a server that hangs must not hold the
    // check for a minute.
    constexpr double kTimeoutSeconds = 10.0;
    const platform::http::Response response =
        platform::http::get(platform::http::serverUrl(endpoints::kUpdateInfo), kTimeoutSeconds);
    // Whatever arrived without a transport error is kept; a page that is not the expected
    // property list simply reads as "no update".
    if (response.ok)
        platform::fs::writeFileAtomically(local, response.body);
    return true;
}

std::optional<std::string> UpdateCheck::runningVersion() {
    const auto info =
        plist::readDictionary(platform::appendPathComponent(contentsFolder(), "Info.plist"));
    if (!info)
        return std::nullopt;
    const std::string* version = plist::stringForKey(*info, "CFBundleShortVersionString");
    return version ? std::optional<std::string>(*version) : std::nullopt;
}

std::optional<std::string> UpdateCheck::publishedVersion() {
    const std::string local = localCopyPath();
    if (!platform::fs::fileExists(local))
        return std::nullopt;
    const auto array = plist::readArray(local);
    if (!array || array->size() != 1)
        return std::nullopt;
    const plist::Dictionary* entry = (*array)[0].dictionary();
    const std::string* version = entry ? plist::stringForKey(*entry, "version") : nullptr;
    return version ? std::optional<std::string>(*version) : std::nullopt;
}

bool UpdateCheck::isUpdateAvailable() {
    const auto running = runningVersion();
    if (!running)
        return false;
    const auto published = publishedVersion();
    if (!published)
        return false;
    return !platform::equals65(*running, *published);
}

}  // namespace vendrel
