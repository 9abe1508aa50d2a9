#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/posix_util.h"
#include "platform/system.h"

namespace vendrel::platform {

double appKitVersionNumber() {
    // NSAppKitVersionNumber of each release's first version, newest last.
    struct Row {
        int major, minor;
        double appKit;
    };
    static constexpr Row kTable[] = {
        {10, 7, 1138},  {10, 8, 1187},  {10, 9, 1265},  {10, 10, 1343}, {10, 11, 1404},
        {10, 12, 1504}, {10, 13, 1561}, {10, 14, 1671}, {10, 15, 1894}, {11, 0, 2022},
        {12, 0, 2113},  {13, 0, 2299},  {14, 0, 2487},
    };
    constexpr double kNewest = 2487;
    auto info = plist::readDictionary("/System/Library/CoreServices/SystemVersion.plist");
    if (!info)
        return kNewest;
    const std::string* v = plist::stringForKey(*info, "ProductVersion");
    if (!v)
        return kNewest;
    char* end = nullptr;
    long major = std::strtol(v->c_str(), &end, 10);
    long minor = (end && *end == '.') ? std::strtol(end + 1, nullptr, 10) : 0;
    if (major <= 0)
        return kNewest;
    if (major > 10)
        minor = 0;
    double found = kTable[0].appKit;
    for (const Row& r : kTable) {
        if (major > r.major || (major == r.major && minor >= r.minor))
            found = r.appKit;
    }
    return found;
}

bool isAliasFile(std::string_view logicalPath) {
    std::string h = toHost(logicalPath);
    if (h.empty())
        return false;
    posix::Fd fd(::open(h.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid())
        return false;
    char head[16];
    ssize_t n = ::read(fd.get(), head, sizeof head);
    return n >= 12 && std::memcmp(head, "book\0\0\0\0mark", 12) == 0;
}

}  // namespace vendrel::platform
