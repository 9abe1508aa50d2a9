#include "common/dispatch_table.h"

#include "platform/strings.h"

namespace vendrel::routines {

const DispatchEntry* findDispatchEntry(std::string_view bundleFileName) {
    for (const auto& entry : kDispatch) {
        const bool hit = entry.match == Match::Exact
                             ? platform::equals65(bundleFileName, entry.key)
                             : platform::containsCaseInsensitive(bundleFileName, entry.key);
        if (hit)
            return &entry;
    }
    return nullptr;
}

std::string describe(const DispatchEntry& entry) {
    const auto number = static_cast<size_t>(&entry - kDispatch) + 1;
    return "entry " + std::to_string(number) + " \"" + std::string(entry.key) + "\"" +
           (entry.match == Match::Contains ? " (contains)" : "");
}

}  // namespace vendrel::routines
