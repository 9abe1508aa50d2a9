#include "platform/strings.h"

#include <locale.h>
#include <wctype.h>

#include <vector>

namespace vendrel::platform {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one UTF-8 sequence at s[i]; an invalid byte decodes to kInvalid - byte so that it
// stays distinct and compares by its value.
char32_t decode(std::string_view s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    auto cont = [&](size_t k) -> int {
        if (i + k >= s.size())
            return -1;
        unsigned char b = static_cast<unsigned char>(s[i + k]);
        return (b & 0xC0) == 0x80 ? (b & 0x3F) : -1;
    };
    if (c < 0x80) {
        ++i;
        return c;
    }
    int n = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        n = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 3;
        cp = c & 0x07;
    } else {
        ++i;
        return kInvalid - c;
    }
    for (int k = 1; k <= n; ++k) {
        int b = cont(static_cast<size_t>(k));
        if (b < 0) {
            ++i;
            return kInvalid - c;
        }
        cp = (cp << 6) | static_cast<char32_t>(b);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kInvalid - c;
    }
    i += static_cast<size_t>(n) + 1;
    return cp;
}

locale_t utf8Locale() {
    static locale_t loc = [] {
        locale_t l = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : ::newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return loc;
}

char32_t fold(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c > 0x10FFFF)
        return c;
    return static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), utf8Locale()));
}

bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

inline char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool isDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

}  // namespace

int compareOptions65(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(static_cast<unsigned char>(a[i])) &&
            isDigit(static_cast<unsigned char>(b[j]))) {
            // Digit runs compare by value: skip leading zeros, then longer is larger, then
            // digit by digit.
            size_t ai = i, bj = j;
            while (ai < a.size() && a[ai] == '0')
                ++ai;
            while (bj < b.size() && b[bj] == '0')
                ++bj;
            size_t ae = ai, be = bj;
            while (ae < a.size() && isDigit(static_cast<unsigned char>(a[ae])))
                ++ae;
            while (be < b.size() && isDigit(static_cast<unsigned char>(b[be])))
                ++be;
            if (ae - ai != be - bj)
                return (ae - ai) < (be - bj) ? -1 : 1;
            for (size_t k = 0; k < ae - ai; ++k)
                if (a[ai + k] != b[bj + k])
                    return a[ai + k] < b[bj + k] ? -1 : 1;
            i = ae;
            j = be;
            continue;
        }
        char32_t ca = fold(decode(a, i));
        char32_t cb = fold(decode(b, j));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

size_t findCaseInsensitive(std::string_view haystack, std::string_view needle) {
    if (needle.empty() || needle.size() > haystack.size() * 4)
        return std::string_view::npos;
    if (isAscii(needle) && isAscii(haystack)) {
        if (needle.size() > haystack.size())
            return std::string_view::npos;
        const char first = lowerAscii(needle[0]);
        for (size_t i = 0; i + needle.size() <= haystack.size(); ++i) {
            if (lowerAscii(haystack[i]) != first)
                continue;
            size_t k = 1;
            while (k < needle.size() && lowerAscii(haystack[i + k]) == lowerAscii(needle[k]))
                ++k;
            if (k == needle.size())
                return i;
        }
        return std::string_view::npos;
    }
    std::vector<char32_t> n;
    for (size_t i = 0; i < needle.size();)
        n.push_back(fold(decode(needle, i)));
    std::vector<char32_t> h;
    std::vector<size_t> offsets;
    for (size_t i = 0; i < haystack.size();) {
        offsets.push_back(i);
        h.push_back(fold(decode(haystack, i)));
    }
    for (size_t i = 0; i + n.size() <= h.size(); ++i) {
        size_t k = 0;
        while (k < n.size() && h[i + k] == n[k])
            ++k;
        if (k == n.size())
            return offsets[i];
    }
    return std::string_view::npos;
}

bool containsCaseInsensitive(std::string_view haystack, std::string_view needle) {
    return findCaseInsensitive(haystack, needle) != std::string_view::npos;
}

namespace {
bool isWhitespaceOrNewline(char32_t c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}
bool isWhitespace(char32_t c) {
    return c == ' ' || c == '\t' || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

std::string trimBy(std::string_view s, bool (*pred)(char32_t)) {
    size_t begin = s.size(), end = 0;
    for (size_t i = 0; i < s.size();) {
        size_t at = i;
        char32_t c = decode(s, i);
        if (!pred(c)) {
            if (begin == s.size())
                begin = at;
            end = i;
        }
    }
    if (begin == s.size())
        return {};
    return std::string(s.substr(begin, end - begin));
}
}  // namespace

std::string trimWhitespaceAndNewlines(std::string_view s) {
    return trimBy(s, isWhitespaceOrNewline);
}

std::string trimWhitespace(std::string_view s) {
    return trimBy(s, isWhitespace);
}

int compareLiteral(std::string_view a, std::string_view b) {
    // NSString orders by UTF-16 code unit: characters beyond the BMP (surrogates D800-DFFF)
    // sort before U+E000-U+FFFF.
    auto key = [](char32_t c) -> uint32_t {
        if (c > 0x10FFFF)
            return 0x110000u + (0xFFFFFFFFu - c);  // invalid bytes last
        if (c >= 0x10000)
            return 0xD800u + ((c - 0x10000) >> 10);
        return c;
    };
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        char32_t ca = decode(a, i), cb = decode(b, j);
        if (ca == cb)
            continue;
        uint32_t ka = key(ca), kb = key(cb);
        if (ka != kb)
            return ka < kb ? -1 : 1;
        return ca < cb ? -1 : 1;  // same high surrogate: the low surrogate decides
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

size_t utf16Length(std::string_view s) {
    size_t n = 0;
    for (size_t i = 0; i < s.size();) {
        char32_t c = decode(s, i);
        n += (c >= 0x10000 && c <= 0x10FFFF) ? 2 : 1;
    }
    return n;
}

bool isValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();)
        if (decode(s, i) > 0x10FFFF)
            return false;
    return true;
}

std::string lowercaseString(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const size_t at = i;
        const char32_t c = decode(s, i);
        if (c > 0x10FFFF) {
            out.append(s.substr(at, i - at));
            continue;
        }
        const char32_t l = fold(c);
        if (l < 0x80) {
            out += static_cast<char>(l);
        } else if (l < 0x800) {
            out += static_cast<char>(0xC0 | (l >> 6));
            out += static_cast<char>(0x80 | (l & 0x3F));
        } else if (l < 0x10000) {
            out += static_cast<char>(0xE0 | (l >> 12));
            out += static_cast<char>(0x80 | ((l >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (l & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (l >> 18));
            out += static_cast<char>(0x80 | ((l >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((l >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (l & 0x3F));
        }
    }
    return out;
}

}  // namespace vendrel::platform
