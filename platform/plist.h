// Property lists: XML (read with pugixml, written in the platform's own layout) and binary
// (libplist, read only).
//
// Files that other programs wrote (Info.plist, launchd jobs, request files) are untrusted:
// reading refuses a file over kMaxPlistBytes or nested deeper than kMaxPlistDepth, and
// anything malformed, truncated or of the wrong root type reads as absent. A refused file
// never crashes or hangs the caller.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vendrel::platform::plist {

inline constexpr uint64_t kMaxPlistBytes = 8u * 1024 * 1024;
inline constexpr int kMaxPlistDepth = 64;

struct Value;
using Array = std::vector<Value>;
using Dictionary = std::map<std::string, Value>;
struct Data {
    std::string bytes;
    bool operator==(const Data&) const = default;
};
// Dates beyond what the clock can hold (about 1678 to 2262; 1933 to 2069 in binary lists,
// whose decoder keeps 32-bit seconds) are clamped to the nearest one it can.
struct Date {
    std::chrono::system_clock::time_point time;
    bool operator==(const Date&) const = default;
};

struct Value {
    std::variant<std::string, int64_t, double, bool, Data, Date, Array, Dictionary> v;

    Value() : v(std::string()) {}
    Value(std::string s) : v(std::move(s)) {}
    Value(const char* s) : v(std::string(s)) {}
    Value(int64_t i) : v(i) {}
    Value(int i) : v(int64_t{i}) {}
    Value(double d) : v(d) {}
    Value(bool b) : v(b) {}
    Value(Data d) : v(std::move(d)) {}
    Value(Date d) : v(d) {}
    Value(Array a) : v(std::move(a)) {}
    Value(Dictionary d) : v(std::move(d)) {}

    const std::string* string() const { return std::get_if<std::string>(&v); }
    const Array* array() const { return std::get_if<Array>(&v); }
    const Dictionary* dictionary() const { return std::get_if<Dictionary>(&v); }
    bool operator==(const Value&) const = default;
};

// A dictionary lookup that yields the string value, or nullptr for a missing key or a
// value of another type.
const std::string* stringForKey(const Dictionary& d, std::string_view key);
const Value* valueForKey(const Dictionary& d, std::string_view key);

// Parses XML or binary ("bplist00") bytes.
std::optional<Value> parse(std::string_view bytes);
std::optional<Value> readFile(std::string_view logicalPath);
std::optional<Dictionary> readDictionary(std::string_view logicalPath);
std::optional<Array> readArray(std::string_view logicalPath);

// The string values of a few keys of a top-level dictionary, for readers that need only
// those (the catalogue reads five keys of every bundle's Info.plist): one entry per key
// asked for, in the same order, empty where the key is missing or holds another type. No
// other value is converted, but the whole list is checked as parse() checks it, so a file
// that parse() refuses, or whose root is not a dictionary, gives nullopt here as well. As
// in readDictionary, a key given twice takes its last value.
using KeyStrings = std::vector<std::optional<std::string>>;
std::optional<KeyStrings> stringsForKeys(std::string_view bytes,
                                         std::span<const std::string_view> keys);
std::optional<KeyStrings> readStringsForKeys(std::string_view logicalPath,
                                             std::span<const std::string_view> keys);

// An XML property list with Apple's header and DOCTYPE, tab-indented like the platform's
// writer. Strings are written byte for byte (invalid UTF-8 included) with &, < and >
// escaped; control characters other than tab and line feed (carriage return included) are
// written as character references so that they survive a reader's line-end normalisation.
// parse() reads all of them back unchanged; a strict XML 1.0 reader refuses references to
// control characters. NUL cannot be carried at all: a value whose strings or keys hold one
// gives an empty result. Dates are written to the whole second.
std::string toXml(const Value& value);
// Writes toXml(value) atomically (temporary file, then rename); false, writing nothing, when
// toXml refuses the value or the write fails.
bool writeXmlFile(std::string_view logicalPath, const Value& value);

}  // namespace vendrel::platform::plist
