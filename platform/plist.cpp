// Property lists. XML is read with pugixml and written here; binary lists are checked here
// and then decoded with libplist.
//
// Why binary lists are checked before libplist sees them: the libplist 2.2 that Debian 12
// ships decodes a shared object once per reference (so a small file can expand
// exponentially), recurses once per nesting level in its parser, its free and its XML
// writer, truncates strings at NUL, keeps dates in 32-bit seconds without a range check,
// and asserts (aborting the process) on a dictionary key whose UTF-16 it cannot convert.
// The check below decodes the layout itself, walks the object graph without recursion and
// refuses anything malformed, overlapping, cyclic, deeper than kMaxPlistDepth or expanding
// beyond kMaxExpandedCost, so libplist only ever sees small, shallow, well-formed trees.
#include "platform/plist.h"

#include <plist/plist.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <pugixml.hpp>

#include "platform/fs.h"

namespace vendrel::platform::plist {
namespace {

// Seconds between the Unix epoch and the reference date binary lists count from
// (2001-01-01T00:00:00Z).
constexpr int64_t kReferenceDateOffset = 978307200;

// Upper bound on the work libplist does for one binary list: every occurrence of an object
// in the expanded tree costs kNodeCost plus its payload bytes. Legitimate lists expand very
// little; a list built from shared references to blow up in libplist's hands is refused.
constexpr uint64_t kNodeCost = 32;
constexpr uint64_t kMaxExpandedCost = 4 * kMaxPlistBytes;

// ---------------------------------------------------------------------------------------
// Binary lists: structural check.

uint64_t readBigEndian(const unsigned char* p, unsigned size) {
    uint64_t v = 0;
    for (unsigned i = 0; i < size; ++i)
        v = (v << 8) | p[i];
    return v;
}

struct BinaryObject {
    uint64_t firstRef = 0;  // index into BinaryCheck::refs
    uint64_t refCount = 0;  // dictionaries: keys then values
    uint64_t payload = 0;   // bytes of scalar content
    bool isString = false;
};

class BinaryCheck {
  public:
    explicit BinaryCheck(std::string_view bytes)
        : data_(reinterpret_cast<const unsigned char*>(bytes.data())), size_(bytes.size()) {}

    struct ClampedDate {
        uint64_t offset;  // of the 8-byte float
        bool negative;
    };
    static constexpr double kMaxDateSeconds = 2147483647.0;

    const std::vector<ClampedDate>& datesToClamp() const { return datesToClamp_; }

    bool acceptable() {
        if (!readTrailer() || !readObjects())
            return false;
        return walk();
    }

  private:
    bool readTrailer() {
        if (size_ < 8 + 1 + 32)
            return false;
        const unsigned char* t = data_ + size_ - 32;
        offsetSize_ = t[6];
        refSize_ = t[7];
        count_ = readBigEndian(t + 8, 8);
        top_ = readBigEndian(t + 16, 8);
        tableOffset_ = readBigEndian(t + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8)
            return false;
        const uint64_t tableEnd = size_ - 32;
        if (count_ == 0 || count_ > kMaxExpandedCost / kNodeCost || top_ >= count_)
            return false;
        if (tableOffset_ < 9 || tableOffset_ > tableEnd)
            return false;
        return count_ <= (tableEnd - tableOffset_) / offsetSize_;
    }

    // Reads a length that follows a marker whose low nibble is 0xF: an integer object.
    bool readLength(uint64_t& pos, uint64_t& length) const {
        if (pos >= tableOffset_)
            return false;
        const unsigned char marker = data_[pos++];
        if ((marker & 0xF0) != 0x10 || (marker & 0x0F) > 3)
            return false;
        const unsigned size = 1u << (marker & 0x0F);
        if (size > tableOffset_ - pos)
            return false;
        length = readBigEndian(data_ + pos, size);
        pos += size;
        return true;
    }

    // No NUL and no unpaired surrogate: libplist's conversion to UTF-8 yields no string for
    // the latter, and its dictionary walk then asserts on the key it could not convert.
    static bool validUtf16(const unsigned char* p, uint64_t units) {
        for (uint64_t i = 0; i < units; ++i) {
            const unsigned unit = (unsigned{p[2 * i]} << 8) | p[2 * i + 1];
            if (unit == 0 || (unit >= 0xDC00 && unit <= 0xDFFF))
                return false;
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                if (++i == units)
                    return false;
                const unsigned low = (unsigned{p[2 * i]} << 8) | p[2 * i + 1];
                if (low < 0xDC00 || low > 0xDFFF)
                    return false;
            }
        }
        return true;
    }

    bool fits(uint64_t pos, uint64_t length) const {
        return pos <= tableOffset_ && length <= tableOffset_ - pos;
    }

    bool readObjects() {
        objects_.resize(count_);
        std::vector<std::pair<uint64_t, uint64_t>> extents;  // [start, end) of each object
        extents.reserve(count_);
        const unsigned char* table = data_ + tableOffset_;
        for (uint64_t i = 0; i < count_; ++i) {
            const uint64_t offset = readBigEndian(table + i * offsetSize_, offsetSize_);
            if (offset < 8 || offset >= tableOffset_)
                return false;
            const auto end = readObject(offset, objects_[i]);
            if (!end)
                return false;
            extents.push_back({offset, *end});
        }
        // Writers lay objects out one after another. Overlapping objects (one object's bytes
        // read again as part of another) are refused: they serve only to confuse readers,
        // and the date clamping below must not change bytes another object is made of.
        std::sort(extents.begin(), extents.end());
        for (size_t i = 1; i < extents.size(); ++i)
            if (extents[i].first < extents[i - 1].second)
                return false;
        // Dictionary keys must be strings; libplist does not check this everywhere.
        for (const BinaryObject& o : objects_) {
            if (!isDictionary(o))
                continue;
            const uint64_t keys = (o.refCount & ~kDictionaryFlag) / 2;
            for (uint64_t k = 0; k < keys; ++k)
                if (!objects_[refs_[o.firstRef + k]].isString)
                    return false;
        }
        return true;
    }

    static bool isDictionary(const BinaryObject& o) { return o.refCount & kDictionaryFlag; }

    // Decodes the object at `pos`; the offset just past it, or nullopt when malformed.
    std::optional<uint64_t> readObject(uint64_t pos, BinaryObject& object) {
        const unsigned char marker = data_[pos++];
        const unsigned kind = marker >> 4;
        const unsigned low = marker & 0x0F;
        switch (kind) {
            case 0x0:  // false, true; null and fill are not property-list values
                if (marker != 0x08 && marker != 0x09)
                    return std::nullopt;
                return pos;
            case 0x1: {  // integer of 1, 2, 4, 8 or 16 bytes
                if (low > 4)
                    return std::nullopt;
                const unsigned size = 1u << low;
                if (!fits(pos, size))
                    return std::nullopt;
                if (size == 16) {
                    // Only values that fit a signed 64-bit integer are representable.
                    if (readBigEndian(data_ + pos, 8) != 0)
                        return std::nullopt;
                    if (readBigEndian(data_ + pos + 8, 8) > uint64_t(INT64_MAX))
                        return std::nullopt;
                }
                object.payload = size;
                return pos + size;
            }
            case 0x2: {  // real of 4 or 8 bytes
                if (low != 2 && low != 3)
                    return std::nullopt;
                object.payload = 1u << low;
                if (!fits(pos, object.payload))
                    return std::nullopt;
                return pos + object.payload;
            }
            case 0x3: {  // date: 8-byte float, seconds since the reference date
                if (low != 3 || !fits(pos, 8))
                    return std::nullopt;
                const uint64_t bits = readBigEndian(data_ + pos, 8);
                double seconds = 0;
                std::memcpy(&seconds, &bits, sizeof seconds);
                if (std::isnan(seconds))
                    return std::nullopt;
                // libplist keeps whole seconds in an int32 and converts without a range
                // check; such dates are clamped before it sees them.
                if (std::fabs(seconds) > kMaxDateSeconds)
                    datesToClamp_.push_back({pos, seconds < 0});
                object.payload = 8;
                return pos + 8;
            }
            case 0x4:    // data
            case 0x5:    // ASCII string
            case 0x6: {  // UTF-16 string
                uint64_t length = low;
                if (low == 0x0F && !readLength(pos, length))
                    return std::nullopt;
                if (kind == 0x6) {
                    if (length > (uint64_t(-1) / 2))
                        return std::nullopt;
                    length *= 2;
                }
                if (!fits(pos, length))
                    return std::nullopt;
                object.payload = length;
                if (kind == 0x4)
                    return pos + length;
                object.isString = true;
                // libplist hands strings out as C strings: an embedded NUL would silently
                // cut the value short.
                const bool valid = kind == 0x5 ? std::memchr(data_ + pos, 0, length) == nullptr
                                               : validUtf16(data_ + pos, length / 2);
                if (!valid)
                    return std::nullopt;
                return pos + length;
            }
            case 0xA:    // array
            case 0xD: {  // dictionary
                uint64_t length = low;
                if (low == 0x0F && !readLength(pos, length))
                    return std::nullopt;
                const uint64_t refs = kind == 0xD ? length * 2 : length;
                if (length > size_ || !fits(pos, 0) || refs > (tableOffset_ - pos) / refSize_)
                    return std::nullopt;
                if (refs > size_ - refs_.size())  // cannot happen without overlaps
                    return std::nullopt;
                object.firstRef = refs_.size();
                object.refCount = refs | (kind == 0xD ? kDictionaryFlag : 0);
                for (uint64_t i = 0; i < refs; ++i) {
                    const uint64_t ref = readBigEndian(data_ + pos + i * refSize_, refSize_);
                    if (ref >= count_)
                        return std::nullopt;
                    refs_.push_back(static_cast<uint32_t>(ref));
                }
                return pos + refs * refSize_;
            }
            default:  // UIDs (keyed archives), sets and unknown markers
                return std::nullopt;
        }
    }

    // Depth-first over the object graph from the top object, without recursion. A reference
    // back to an object on the current path is a cycle. Depth (longest path below an object)
    // and expanded cost are memoised per object: a shared object is walked once but costed
    // once per reference, as libplist will decode it once per reference.
    bool walk() {
        enum : unsigned char { kUnseen, kOnPath, kDone };
        std::vector<unsigned char> state(count_, kUnseen);
        std::vector<uint64_t> cost(count_, 0);
        std::vector<int> depth(count_, 0);
        struct Frame {
            uint64_t object;
            uint64_t next;
        };
        std::vector<Frame> path;
        path.push_back({top_, 0});
        state[top_] = kOnPath;
        while (!path.empty()) {
            Frame& frame = path.back();
            const BinaryObject& o = objects_[frame.object];
            const uint64_t refs = o.refCount & ~kDictionaryFlag;
            if (frame.next < refs) {
                const uint64_t child = refs_[o.firstRef + frame.next++];
                if (state[child] == kOnPath)
                    return false;
                if (state[child] == kUnseen) {
                    if (path.size() >= static_cast<size_t>(kMaxPlistDepth))
                        return false;
                    state[child] = kOnPath;
                    path.push_back({child, 0});
                }
                continue;
            }
            uint64_t total = kNodeCost + o.payload;
            int deepest = 0;
            for (uint64_t i = 0; i < refs && total <= kMaxExpandedCost; ++i) {
                total += cost[refs_[o.firstRef + i]];
                deepest = std::max(deepest, depth[refs_[o.firstRef + i]]);
            }
            if (total > kMaxExpandedCost || deepest + 1 > kMaxPlistDepth)
                return false;
            cost[frame.object] = total;
            depth[frame.object] = deepest + 1;
            state[frame.object] = kDone;
            path.pop_back();
        }
        return true;
    }

    static constexpr uint64_t kDictionaryFlag = uint64_t(1) << 63;

    const unsigned char* data_;
    uint64_t size_;
    unsigned offsetSize_ = 0, refSize_ = 0;
    uint64_t count_ = 0, top_ = 0, tableOffset_ = 0;
    std::vector<BinaryObject> objects_;
    std::vector<ClampedDate> datesToClamp_;
    std::vector<uint32_t> refs_;  // object indices; the object count is far below 2^32
};

// ---------------------------------------------------------------------------------------
// Binary lists: conversion of libplist's tree. The check above bounds the depth.

struct PlistFree {
    void operator()(plist_t p) const { plist_free(p); }
};

std::optional<Value> fromLibplist(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t b = 0;
            plist_get_bool_val(node, &b);
            return Value(b != 0);
        }
        case PLIST_UINT: {
            uint64_t u = 0;
            plist_get_uint_val(node, &u);
            return Value(static_cast<int64_t>(u));
        }
        case PLIST_REAL: {
            double d = 0;
            plist_get_real_val(node, &d);
            return Value(d);
        }
        case PLIST_STRING: {
            char* s = nullptr;
            plist_get_string_val(node, &s);
            if (!s)
                return std::nullopt;
            Value v{std::string(s)};
            std::free(s);
            return v;
        }
        case PLIST_DATA: {
            char* bytes = nullptr;
            uint64_t length = 0;
            plist_get_data_val(node, &bytes, &length);
            Data data{bytes ? std::string(bytes, length) : std::string()};
            std::free(bytes);
            return Value(std::move(data));
        }
        case PLIST_DATE: {
            int32_t sec = 0, usec = 0;
            plist_get_date_val(node, &sec, &usec);
            const auto since =
                std::chrono::seconds(kReferenceDateOffset + sec) + std::chrono::microseconds(usec);
            return Value(Date{std::chrono::system_clock::time_point(
                std::chrono::duration_cast<std::chrono::system_clock::duration>(since))});
        }
        case PLIST_ARRAY: {
            Array array;
            const uint32_t n = plist_array_get_size(node);
            array.reserve(n);
            for (uint32_t i = 0; i < n; ++i) {
                auto item = fromLibplist(plist_array_get_item(node, i));
                if (!item)
                    return std::nullopt;
                array.push_back(std::move(*item));
            }
            return Value(std::move(array));
        }
        case PLIST_DICT: {
            Dictionary dictionary;
            plist_dict_iter it = nullptr;
            plist_dict_new_iter(node, &it);
            bool ok = it != nullptr;
            while (ok) {
                char* key = nullptr;
                plist_t item = nullptr;
                plist_dict_next_item(node, it, &key, &item);
                if (!key || !item) {
                    std::free(key);
                    break;
                }
                std::string k(key);
                std::free(key);
                auto v = fromLibplist(item);
                if (!v)
                    ok = false;
                else
                    dictionary.insert_or_assign(std::move(k), std::move(*v));
            }
            std::free(it);
            if (!ok)
                return std::nullopt;
            return Value(std::move(dictionary));
        }
        default:
            return std::nullopt;
    }
}

using PlistTree = std::unique_ptr<void, PlistFree>;

// libplist's tree of a binary list that passed the check, with out-of-range dates clamped;
// null when the check or libplist refuses it.
PlistTree binaryTree(std::string_view bytes) {
    BinaryCheck check(bytes);
    if (!check.acceptable())
        return nullptr;
    std::string clamped;
    if (!check.datesToClamp().empty()) {
        clamped = bytes;
        for (const auto& date : check.datesToClamp()) {
            const double limit =
                date.negative ? -BinaryCheck::kMaxDateSeconds : BinaryCheck::kMaxDateSeconds;
            uint64_t bits = 0;
            std::memcpy(&bits, &limit, sizeof bits);
            for (int i = 7; i >= 0; --i, bits >>= 8)
                clamped[date.offset + static_cast<size_t>(i)] = static_cast<char>(bits & 0xFF);
        }
        bytes = clamped;
    }
    plist_t root = nullptr;
    plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    return PlistTree(root);
}

std::optional<Value> parseBinary(std::string_view bytes) {
    const PlistTree root = binaryTree(bytes);
    if (!root)
        return std::nullopt;
    return fromLibplist(root.get());
}

// The key reader on a binary list. The check has already refused everything fromLibplist
// would refuse (UIDs, strings libplist cannot convert), so only the wanted keys are
// converted. The keys are walked in order, not looked up, so that a key given twice takes
// its last value as in the dictionary reader.
std::optional<KeyStrings> binaryStringsForKeys(std::string_view bytes,
                                               std::span<const std::string_view> keys) {
    const PlistTree root = binaryTree(bytes);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    KeyStrings values(keys.size());
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(root.get(), &it);
    if (!it)
        return std::nullopt;
    bool ok = true;
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(root.get(), it, &key, &item);
        if (!key || !item) {
            std::free(key);
            break;
        }
        const auto wanted = std::find(keys.begin(), keys.end(), std::string_view(key));
        std::free(key);
        const bool isString = plist_get_node_type(item) == PLIST_STRING;
        if (wanted == keys.end() && !isString)
            continue;
        std::optional<std::string> value;
        if (isString) {
            char* text = nullptr;
            plist_get_string_val(item, &text);
            if (!text) {
                ok = false;  // as fromLibplist refuses the whole list
                break;
            }
            if (wanted != keys.end())
                value.emplace(text);
            std::free(text);
        }
        if (wanted != keys.end())
            values[static_cast<size_t>(wanted - keys.begin())] = std::move(value);
    }
    std::free(it);
    if (!ok)
        return std::nullopt;
    return values;
}

// ---------------------------------------------------------------------------------------
// XML lists: reading.

// pugixml expands the five predefined entities and character references and leaves any
// other reference as literal text. A property list never needs another entity; a
// document that uses one (or declares any in an internal DTD subset) is refused rather
// than read with the reference left in.
bool referencesAreSimple(std::string_view text) {
    // Most lists hold no reference at all: one scan for '&' settles them.
    size_t i = text.find('&');
    if (i == std::string_view::npos)
        return true;
    i = 0;
    while ((i = text.find_first_of("&<", i)) != std::string_view::npos) {
        if (text[i] == '<') {
            // Skip sections whose '&' is literal.
            for (auto [open, close] :
                 {std::pair<std::string_view, std::string_view>{"<![CDATA[", "]]>"},
                  {"<!--", "-->"}}) {
                if (text.substr(i, open.size()) == open) {
                    const size_t end = text.find(close, i + open.size());
                    if (end == std::string_view::npos)
                        return false;
                    i = end + close.size() - 1;
                    break;
                }
            }
            ++i;
            continue;
        }
        const size_t semicolon = text.find(';', i);
        if (semicolon == std::string_view::npos || semicolon - i > 12)
            return false;
        const std::string_view name = text.substr(i + 1, semicolon - i - 1);
        const bool predefined =
            name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos";
        const bool numeric = name.size() > 1 && name[0] == '#';
        if (!predefined && !numeric)
            return false;
        i = semicolon + 1;
    }
    return true;
}

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// Whether textOf would accept the element, without the copy.
bool isText(const pugi::xml_node& element) {
    for (pugi::xml_node child : element.children()) {
        const auto type = child.type();
        if (type != pugi::node_pcdata && type != pugi::node_cdata && type != pugi::node_comment &&
            type != pugi::node_pi)
            return false;
    }
    return true;
}

// Text content of a scalar element: its character data and CDATA sections; any element
// inside makes the value malformed.
std::optional<std::string> textOf(const pugi::xml_node& element) {
    std::string text;
    for (pugi::xml_node child : element.children()) {
        const auto type = child.type();
        if (type == pugi::node_pcdata || type == pugi::node_cdata)
            text += child.value();
        else if (type != pugi::node_comment && type != pugi::node_pi)
            return std::nullopt;
    }
    return text;
}

std::optional<int64_t> parseInteger(std::string_view s) {
    s = trimmed(s);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return std::nullopt;
    uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    if (negative) {
        if (magnitude > uint64_t(INT64_MAX) + 1)
            return std::nullopt;
        return static_cast<int64_t>(0 - magnitude);
    }
    if (magnitude > uint64_t(INT64_MAX))
        return std::nullopt;
    return static_cast<int64_t>(magnitude);
}

std::optional<double> parseReal(std::string_view s) {
    s = trimmed(s);
    std::string lower(s);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "+infinity" || lower == "infinity" || lower == "+inf")
        return std::numeric_limits<double>::infinity();
    if (lower == "-infinity")
        return -std::numeric_limits<double>::infinity();
    if (!lower.empty() && lower[0] == '+')
        lower.erase(0, 1);
    double d = 0;
    const auto [end, ec] = std::from_chars(lower.data(), lower.data() + lower.size(), d);
    if (lower.empty() || ec != std::errc() || end != lower.data() + lower.size())
        return std::nullopt;
    return d;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

std::optional<Date> parseDate(std::string_view s) {
    s = trimmed(s);
    // YYYY-MM-DDTHH:MM:SSZ
    if (s.size() != 20 || s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' ||
        s[16] != ':' || s[19] != 'Z')
        return std::nullopt;
    auto number = [&](size_t at, size_t len) -> std::optional<unsigned> {
        unsigned v = 0;
        const auto [end, ec] = std::from_chars(s.data() + at, s.data() + at + len, v);
        if (ec != std::errc() || end != s.data() + at + len)
            return std::nullopt;
        return v;
    };
    const auto year = number(0, 4), month = number(5, 2), day = number(8, 2), hour = number(11, 2),
               minute = number(14, 2), second = number(17, 2);
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 ||
        *second > 60)
        return std::nullopt;
    const int64_t days = daysFromCivil(*year, *month, *day);
    const int64_t secs = days * 86400 + *hour * 3600 + *minute * 60 + *second;
    // The clock holds about 1678 to 2262; a date beyond (such as a "distant future" of
    // 4001) is clamped rather than refusing the whole list.
    using std::chrono::system_clock;
    const int64_t earliest =
        std::chrono::ceil<std::chrono::seconds>(system_clock::time_point::min().time_since_epoch())
            .count();
    const int64_t latest =
        std::chrono::floor<std::chrono::seconds>(system_clock::time_point::max().time_since_epoch())
            .count();
    return Date{system_clock::time_point(std::chrono::seconds(std::clamp(secs, earliest, latest)))};
}

std::optional<std::string> decodeBase64(std::string_view s) {
    std::string out;
    out.reserve(s.size() / 4 * 3);
    uint32_t buffer = 0;
    int bits = 0;
    size_t padding = 0;
    for (char c : s) {
        int v;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        else if (c == '=') {
            ++padding;
            continue;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        else
            return std::nullopt;
        if (padding)
            return std::nullopt;  // data after padding
        buffer = (buffer << 6) | static_cast<uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((buffer >> bits) & 0xFF));
        }
    }
    if (padding > 2 || bits >= 6)
        return std::nullopt;
    return out;
}

std::optional<Value> fromXml(const pugi::xml_node& element, int depth) {
    if (depth > kMaxPlistDepth)
        return std::nullopt;
    const std::string_view name = element.name();
    if (name == "dict") {
        Dictionary dictionary;
        std::optional<std::string> key;
        for (pugi::xml_node child : element.children()) {
            if (child.type() == pugi::node_pcdata) {
                if (!trimmed(child.value()).empty())
                    return std::nullopt;
                continue;
            }
            if (child.type() != pugi::node_element)
                continue;
            if (!key) {
                if (std::string_view(child.name()) != "key")
                    return std::nullopt;
                key = textOf(child);
                if (!key)
                    return std::nullopt;
                continue;
            }
            auto value = fromXml(child, depth + 1);
            if (!value)
                return std::nullopt;
            dictionary.insert_or_assign(std::move(*key), std::move(*value));
            key.reset();
        }
        if (key)
            return std::nullopt;  // a key without a value
        return Value(std::move(dictionary));
    }
    if (name == "array") {
        Array array;
        for (pugi::xml_node child : element.children()) {
            if (child.type() == pugi::node_pcdata) {
                if (!trimmed(child.value()).empty())
                    return std::nullopt;
                continue;
            }
            if (child.type() != pugi::node_element)
                continue;
            auto value = fromXml(child, depth + 1);
            if (!value)
                return std::nullopt;
            array.push_back(std::move(*value));
        }
        return Value(std::move(array));
    }
    if (name == "true" || name == "false") {
        if (element.first_child().type() == pugi::node_element)
            return std::nullopt;
        return Value(name == "true");
    }
    auto text = textOf(element);
    if (!text)
        return std::nullopt;
    if (name == "string")
        return Value(std::move(*text));
    if (name == "integer") {
        auto i = parseInteger(*text);
        return i ? std::optional<Value>(Value(*i)) : std::nullopt;
    }
    if (name == "real") {
        auto d = parseReal(*text);
        return d ? std::optional<Value>(Value(*d)) : std::nullopt;
    }
    if (name == "date") {
        auto d = parseDate(*text);
        return d ? std::optional<Value>(Value(*d)) : std::nullopt;
    }
    if (name == "data") {
        auto d = decodeBase64(*text);
        return d ? std::optional<Value>(Value(Data{std::move(*d)})) : std::nullopt;
    }
    return std::nullopt;
}

// The root value of an XML list loaded into `doc`, inside its "plist" element if it has
// one; an empty node when the text is refused.
pugi::xml_node xmlRootValue(pugi::xml_document& doc, std::string_view bytes) {
    if (!referencesAreSimple(bytes))
        return {};
    // Whitespace-only text is kept: "<string> </string>" is a blank, not an empty string.
    const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_doctype;
    const auto result = doc.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_utf8);
    if (!result)
        return {};
    pugi::xml_node root;
    for (pugi::xml_node child : doc.children()) {
        switch (child.type()) {
            case pugi::node_doctype:
                // An internal subset is where entities would be declared.
                if (std::string_view(child.value()).find('[') != std::string_view::npos)
                    return {};
                break;
            case pugi::node_element:
                root = child;
                break;
            case pugi::node_pcdata:
                if (!trimmed(child.value()).empty())
                    return {};
                break;
            default:
                break;
        }
    }
    if (!root || std::string_view(root.name()) != "plist")
        return root;
    pugi::xml_node value;
    for (pugi::xml_node child : root.children()) {
        if (child.type() == pugi::node_pcdata && !trimmed(child.value()).empty())
            return {};
        if (child.type() != pugi::node_element)
            continue;
        if (value)
            return {};  // more than one top-level value
        value = child;
    }
    return value;
}

std::optional<Value> parseXml(std::string_view bytes) {
    pugi::xml_document doc;
    const pugi::xml_node root = xmlRootValue(doc, bytes);
    if (!root)
        return std::nullopt;
    return fromXml(root, 1);
}

// Whether fromXml would accept `element`, without building the value: the key reader checks
// every value it does not convert. Must refuse exactly what fromXml refuses.
bool xmlValueIsValid(const pugi::xml_node& element, int depth) {
    if (depth > kMaxPlistDepth)
        return false;
    const std::string_view name = element.name();
    if (name == "dict" || name == "array") {
        const bool dictionary = name == "dict";
        bool expectKey = true;
        for (pugi::xml_node child : element.children()) {
            if (child.type() == pugi::node_pcdata) {
                if (!trimmed(child.value()).empty())
                    return false;
                continue;
            }
            if (child.type() != pugi::node_element)
                continue;
            if (dictionary && expectKey) {
                if (std::string_view(child.name()) != "key" || !isText(child))
                    return false;
                expectKey = false;
                continue;
            }
            if (!xmlValueIsValid(child, depth + 1))
                return false;
            expectKey = true;
        }
        return expectKey;  // a dictionary's last key has its value
    }
    if (name == "true" || name == "false")
        return element.first_child().type() != pugi::node_element;
    if (name == "string")
        return isText(element);
    auto text = textOf(element);
    if (!text)
        return false;
    if (name == "integer")
        return parseInteger(*text).has_value();
    if (name == "real")
        return parseReal(*text).has_value();
    if (name == "date")
        return parseDate(*text).has_value();
    if (name == "data")
        return decodeBase64(*text).has_value();
    return false;
}

// A key's text without a copy in the usual case of one run of character data.
bool keyIs(const pugi::xml_node& key, std::string_view wanted) {
    const pugi::xml_node first = key.first_child();
    if (!first)
        return wanted.empty();
    if (!first.next_sibling() && first.type() == pugi::node_pcdata)
        return std::string_view(first.value()) == wanted;
    const auto text = textOf(key);
    return text && *text == wanted;
}

std::optional<KeyStrings> xmlStringsForKeys(std::string_view bytes,
                                            std::span<const std::string_view> keys) {
    pugi::xml_document doc;
    const pugi::xml_node root = xmlRootValue(doc, bytes);
    if (!root || std::string_view(root.name()) != "dict" || !xmlValueIsValid(root, 1))
        return std::nullopt;
    KeyStrings values(keys.size());
    pugi::xml_node key;
    for (pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (!key) {
            key = child;
            continue;
        }
        for (size_t k = 0; k < keys.size(); ++k) {
            if (!keyIs(key, keys[k]))
                continue;
            if (std::string_view(child.name()) == "string")
                values[k] = textOf(child);
            else
                values[k].reset();
        }
        key = {};
    }
    return values;
}

// ---------------------------------------------------------------------------------------
// XML lists: writing, in the layout of the platform's own writer.

bool appendEscaped(std::string& out, std::string_view s) {
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\0':
                return false;
            case '\t':
            case '\n':
                out += c;
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    // Carriage returns and other control characters would be normalised
                    // or refused by a reader; a character reference carries them through.
                    out += "&#" + std::to_string(static_cast<int>(c)) + ';';
                } else {
                    out += c;
                }
        }
    }
    return true;
}

std::string encodeBase64(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t n = (uint32_t(uint8_t(bytes[i])) << 16) |
                           (uint32_t(uint8_t(bytes[i + 1])) << 8) | uint8_t(bytes[i + 2]);
        out += kAlphabet[(n >> 18) & 63];
        out += kAlphabet[(n >> 12) & 63];
        out += kAlphabet[(n >> 6) & 63];
        out += kAlphabet[n & 63];
    }
    if (i < bytes.size()) {
        uint32_t n = uint32_t(uint8_t(bytes[i])) << 16;
        if (i + 1 < bytes.size())
            n |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        out += kAlphabet[(n >> 18) & 63];
        out += kAlphabet[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string formatDate(const Date& date) {
    const int64_t secs =
        std::chrono::floor<std::chrono::seconds>(date.time.time_since_epoch()).count();
    int64_t days = secs / 86400;
    int64_t rem = secs % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    // Civil date from days since 1970-01-01.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ",
                  static_cast<long long>(year), static_cast<long long>(month),
                  static_cast<long long>(day), static_cast<long long>(rem / 3600),
                  static_cast<long long>(rem / 60 % 60), static_cast<long long>(rem % 60));
    return buffer;
}

std::string formatReal(double d) {
    if (std::isnan(d))
        return "nan";
    if (std::isinf(d))
        return d > 0 ? "+infinity" : "-infinity";
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), d);
    return ec == std::errc() ? std::string(buffer.data(), end) : std::string("0");
}

bool appendXml(std::string& out, const Value& value, int depth) {
    const std::string indent(static_cast<size_t>(depth), '\t');
    out += indent;
    return std::visit(
        [&](const auto& x) -> bool {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::string>) {
                out += "<string>";
                if (!appendEscaped(out, x))
                    return false;
                out += "</string>\n";
            } else if constexpr (std::is_same_v<T, int64_t>) {
                out += "<integer>" + std::to_string(x) + "</integer>\n";
            } else if constexpr (std::is_same_v<T, double>) {
                out += "<real>" + formatReal(x) + "</real>\n";
            } else if constexpr (std::is_same_v<T, bool>) {
                out += x ? "<true/>\n" : "<false/>\n";
            } else if constexpr (std::is_same_v<T, Date>) {
                out += "<date>" + formatDate(x) + "</date>\n";
            } else if constexpr (std::is_same_v<T, Data>) {
                out += "<data>\n";
                const std::string encoded = encodeBase64(x.bytes);
                for (size_t i = 0; i < encoded.size(); i += 68)
                    out += indent + encoded.substr(i, 68) + '\n';
                out += indent + "</data>\n";
            } else if constexpr (std::is_same_v<T, Array>) {
                if (x.empty()) {
                    out += "<array/>\n";
                    return true;
                }
                out += "<array>\n";
                for (const Value& item : x)
                    if (!appendXml(out, item, depth + 1))
                        return false;
                out += indent + "</array>\n";
            } else {
                if (x.empty()) {
                    out += "<dict/>\n";
                    return true;
                }
                out += "<dict>\n";
                for (const auto& [key, item] : x) {
                    out += indent + "\t<key>";
                    if (!appendEscaped(out, key))
                        return false;
                    out += "</key>\n";
                    if (!appendXml(out, item, depth + 1))
                        return false;
                }
                out += indent + "</dict>\n";
            }
            return true;
        },
        value.v);
}

}  // namespace

const std::string* stringForKey(const Dictionary& d, std::string_view key) {
    const Value* v = valueForKey(d, key);
    return v ? v->string() : nullptr;
}

const Value* valueForKey(const Dictionary& d, std::string_view key) {
    const auto it = d.find(std::string(key));
    return it == d.end() ? nullptr : &it->second;
}

std::optional<Value> parse(std::string_view bytes) {
    if (bytes.size() > kMaxPlistBytes)
        return std::nullopt;
    if (bytes.substr(0, 8) == "bplist00")
        return parseBinary(bytes);
    return parseXml(bytes);
}

std::optional<Value> readFile(std::string_view logicalPath) {
    auto bytes = fs::readFile(logicalPath, kMaxPlistBytes);
    if (!bytes)
        return std::nullopt;
    return parse(*bytes);
}

std::optional<KeyStrings> stringsForKeys(std::string_view bytes,
                                         std::span<const std::string_view> keys) {
    if (bytes.size() > kMaxPlistBytes)
        return std::nullopt;
    if (bytes.substr(0, 8) == "bplist00")
        return binaryStringsForKeys(bytes, keys);
    return xmlStringsForKeys(bytes, keys);
}

std::optional<KeyStrings> readStringsForKeys(std::string_view logicalPath,
                                             std::span<const std::string_view> keys) {
    auto bytes = fs::readFile(logicalPath, kMaxPlistBytes);
    if (!bytes)
        return std::nullopt;
    return stringsForKeys(*bytes, keys);
}

std::optional<Dictionary> readDictionary(std::string_view logicalPath) {
    auto value = readFile(logicalPath);
    if (!value || !value->dictionary())
        return std::nullopt;
    return std::move(std::get<Dictionary>(value->v));
}

std::optional<Array> readArray(std::string_view logicalPath) {
    auto value = readFile(logicalPath);
    if (!value || !value->array())
        return std::nullopt;
    return std::move(std::get<Array>(value->v));
}

std::string toXml(const Value& value) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n";
    if (!appendXml(out, value, 0))
        return {};
    out += "</plist>\n";
    return out;
}

bool writeXmlFile(std::string_view logicalPath, const Value& value) {
    const std::string xml = toXml(value);
    if (xml.empty())
        return false;
    return fs::writeFileAtomically(logicalPath, xml);
}

}  // namespace vendrel::platform::plist
