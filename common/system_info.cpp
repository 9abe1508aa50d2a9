#include "common/system_info.h"

#include <cmath>

#include "platform/system.h"

namespace vendrel {

std::string system::osVersion() {
    const double v = std::floor(platform::appKitVersionNumber());
    if (v <= 1187)
        return "Mac OS X 10.8.x";
    if (v <= 1265)
        return "Mac OS X 10.9.x";
    if (v <= 1349)
        return "Mac OS X 10.10.x";
    if (v <= 1404)
        return "Mac OS X 10.11.x";
    return "Mac OS X 10.12.x later";
}

}  // namespace vendrel
