#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <random>

#include "platform/uuid.h"

namespace vendrel::platform {

std::string newUuidString() {
    // The kernel's generator; a random_device fallback where /proc is not mounted.
    std::string text;
    if (std::ifstream in("/proc/sys/kernel/random/uuid"); in)
        std::getline(in, text);
    if (text.size() != 36) {
        std::random_device rd;
        unsigned char b[16];
        for (auto& byte : b)
            byte = static_cast<unsigned char>(rd() & 0xFF);
        b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);  // version 4
        b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
        char buf[37];
        std::snprintf(buf, sizeof buf,
                      "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", b[0],
                      b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12],
                      b[13], b[14], b[15]);
        text = buf;
    }
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace vendrel::platform
