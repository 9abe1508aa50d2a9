// The string rules of the system.
//
// Equality of names, extensions and versions is Foundation's compare with options 65:
// case-insensitive (1) plus numeric (64), so runs of ASCII digits compare by value and
// "Foo2" < "Foo10". Containment is a case-insensitive substring search (option 1). Case
// folding covers Unicode simple case mappings (C.UTF-8), not diacritics or width.
// Case-sensitive literal order (by UTF-16 code unit, as NSString) sorts the catalogue only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vendrel::platform {

// -1, 0 or 1, like NSComparisonResult.
int compareOptions65(std::string_view a, std::string_view b);
inline bool equals65(std::string_view a, std::string_view b) {
    return compareOptions65(a, b) == 0;
}
// rangeOfString:options:1 found anything. An empty needle is never found.
bool containsCaseInsensitive(std::string_view haystack, std::string_view needle);
// Position (in bytes) of the first case-insensitive occurrence, or npos.
size_t findCaseInsensitive(std::string_view haystack, std::string_view needle);
// stringByTrimmingCharactersInSet: whitespaceAndNewlineCharacterSet.
std::string trimWhitespaceAndNewlines(std::string_view s);
// stringByTrimmingCharactersInSet: whitespaceCharacterSet (space, tab and the Unicode
// space separators; no newlines).
std::string trimWhitespace(std::string_view s);
// compare: with no options, as NSString does it: by UTF-16 code unit.
int compareLiteral(std::string_view a, std::string_view b);
// NSString length of a UTF-8 string: UTF-16 code units. Invalid bytes count as one each.
size_t utf16Length(std::string_view s);
bool isValidUtf8(std::string_view s);
// lowercaseString: every character by its simple lower-case mapping (C.UTF-8); bytes that
// are not valid UTF-8 are kept as they are.
std::string lowercaseString(std::string_view s);

}  // namespace vendrel::platform
