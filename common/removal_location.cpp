#include "common/removal_location.h"

#include "platform/paths.h"
#include "platform/strings.h"

namespace vendrel::removal_location {

bool isCanSafeDeletePath(std::string_view path) {
    const auto c = platform::pathComponents(path);
    const size_t n = c.size();
    if (n < 3)
        return false;
    if (platform::equals65(c[n - 2], "Applications"))
        return true;
    if (platform::equals65(c[n - 3], "Applications"))
        return true;
    if (platform::equals65(c[n - 2], "Desktop"))
        return true;
    return platform::equals65(c[n - 2], "PreferencePanes");
}

}  // namespace vendrel::removal_location
