// Texts from other programs (names, identifiers, file names) as they may be printed to a
// terminal: C0 controls and DEL become escapes, so a name cannot move the cursor or end a
// row early.
#pragma once

#include <string>
#include <string_view>

namespace vendrel::cli {

inline std::string printable(std::string_view s) {
    static const char* const kHex = "0123456789abcdef";
    std::string out;
    out.reserve(s.size());
    for (unsigned char c : s) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7f) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace vendrel::cli
