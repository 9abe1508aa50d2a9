// The property under test for both property-list fuzzers: whatever parse() accepts must
// survive toXml() and a second parse() unchanged.
#pragma once

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "platform/plist.h"

namespace vendrel::fuzz {

namespace plist = platform::plist;

// Equality as the XML form can express it: NaN equals NaN, and dates count whole seconds
// (binary lists carry fractions that XML dates do not).
inline bool sameValue(const plist::Value& a, const plist::Value& b) {
    if (a.v.index() != b.v.index())
        return false;
    if (const auto* x = std::get_if<double>(&a.v)) {
        const double y = std::get<double>(b.v);
        return (std::isnan(*x) && std::isnan(y)) || *x == y;
    }
    if (const auto* x = std::get_if<plist::Date>(&a.v)) {
        using std::chrono::floor;
        using std::chrono::seconds;
        return floor<seconds>(x->time) == floor<seconds>(std::get<plist::Date>(b.v).time);
    }
    if (const auto* x = a.array()) {
        const auto& y = *b.array();
        if (x->size() != y.size())
            return false;
        for (size_t i = 0; i < x->size(); ++i)
            if (!sameValue((*x)[i], y[i]))
                return false;
        return true;
    }
    if (const auto* x = a.dictionary()) {
        const auto& y = *b.dictionary();
        if (x->size() != y.size())
            return false;
        for (auto i = x->begin(), j = y.begin(); i != x->end(); ++i, ++j)
            if (i->first != j->first || !sameValue(i->second, j->second))
                return false;
        return true;
    }
    return a == b;
}

inline void checkRoundTrip(std::string_view bytes) {
    const auto value = plist::parse(bytes);
    if (!value)
        return;
    // Parsed strings never hold NUL, so every parsed value must be writable.
    const std::string xml = plist::toXml(*value);
    if (xml.empty())
        std::abort();
    const auto again = plist::parse(xml);
    if (!again || !sameValue(*value, *again))
        std::abort();
}

}  // namespace vendrel::fuzz
