#include "tools/demo/icns.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>

namespace vendrel::demo {
namespace {

struct Rgba {
    uint8_t r, g, b, a;
};

void putBE32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xff);
}

uint32_t crc32(std::string_view bytes) {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t c = 0xffffffffu;
    for (unsigned char b : bytes)
        c = table[(c ^ b) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

uint32_t adler32(std::string_view bytes) {
    uint32_t a = 1, b = 0;
    for (unsigned char c : bytes) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

// A zlib stream of stored (uncompressed) deflate blocks: valid for every PNG reader and
// small enough at icon sizes that compression is not worth a dependency.
std::string zlibStored(std::string_view raw) {
    std::string out("\x78\x01", 2);
    size_t pos = 0;
    do {
        const size_t len = std::min<size_t>(65535, raw.size() - pos);
        const bool last = pos + len == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(len & 0xff);
        out += static_cast<char>(len >> 8);
        out += static_cast<char>(~len & 0xff);
        out += static_cast<char>((~len >> 8) & 0xff);
        out.append(raw.substr(pos, len));
        pos += len;
    } while (pos < raw.size());
    putBE32(out, adler32(raw));
    return out;
}

void pngChunk(std::string& out, std::string_view type, std::string_view data) {
    putBE32(out, static_cast<uint32_t>(data.size()));
    std::string body(type);
    body.append(data);
    out += body;
    putBE32(out, crc32(body));
}

using Picture = std::function<Rgba(double x, double y)>;  // x, y in [0, 1)

std::string png(int size, const Picture& picture) {
    std::string raw;
    for (int y = 0; y < size; ++y) {
        raw += '\0';  // filter: none
        for (int x = 0; x < size; ++x) {
            Rgba p = picture((x + 0.5) / size, (y + 0.5) / size);
            raw += static_cast<char>(p.r);
            raw += static_cast<char>(p.g);
            raw += static_cast<char>(p.b);
            raw += static_cast<char>(p.a);
        }
    }
    std::string header;
    putBE32(header, static_cast<uint32_t>(size));
    putBE32(header, static_cast<uint32_t>(size));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA, no interlace
    std::string out("\x89PNG\r\n\x1a\n", 8);
    pngChunk(out, "IHDR", header);
    pngChunk(out, "IDAT", zlibStored(raw));
    pngChunk(out, "IEND", {});
    return out;
}

// The PackBits-like run-length code of the classic 16x16 'is32' chunk, one channel.
std::string packChannel(const std::string& channel) {
    std::string out;
    size_t i = 0;
    while (i < channel.size()) {
        size_t run = 1;
        while (i + run < channel.size() && run < 130 && channel[i + run] == channel[i])
            ++run;
        if (run >= 3) {
            out += static_cast<char>(0x80 + (run - 3));
            out += channel[i];
            i += run;
            continue;
        }
        size_t start = i, count = 0;
        while (i < channel.size() && count < 128) {
            if (i + 2 < channel.size() && channel[i] == channel[i + 1] &&
                channel[i] == channel[i + 2])
                break;
            ++i;
            ++count;
        }
        out += static_cast<char>(count - 1);
        out.append(channel, start, count);
    }
    return out;
}

void icnsChunk(std::string& out, std::string_view type, std::string_view data) {
    out.append(type);
    putBE32(out, static_cast<uint32_t>(data.size() + 8));
    out.append(data);
}

}  // namespace

std::string makeIcns(std::string_view seed) {
    // A rounded tile in a colour of the seed's own, with a light disc: enough to tell apps
    // apart in a list.
    const uint32_t h = crc32(seed);
    const Rgba base{static_cast<uint8_t>(60 + (h & 0x7f)),
                    static_cast<uint8_t>(60 + ((h >> 8) & 0x7f)),
                    static_cast<uint8_t>(60 + ((h >> 16) & 0x7f)), 255};
    Picture picture = [base](double x, double y) -> Rgba {
        const double margin = 0.06, radius = 0.18;
        const double cx = std::clamp(x, margin + radius, 1 - margin - radius);
        const double cy = std::clamp(y, margin + radius, 1 - margin - radius);
        if (std::hypot(x - cx, y - cy) > radius)
            return {0, 0, 0, 0};
        if (std::hypot(x - 0.5, y - 0.5) < 0.22)
            return {245, 245, 240, 255};
        const double shade = 1.0 - 0.35 * y;
        return {static_cast<uint8_t>(base.r * shade), static_cast<uint8_t>(base.g * shade),
                static_cast<uint8_t>(base.b * shade), 255};
    };

    std::string red, green, blue, mask;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            Rgba p = picture((x + 0.5) / 16, (y + 0.5) / 16);
            red += static_cast<char>(p.r);
            green += static_cast<char>(p.g);
            blue += static_cast<char>(p.b);
            mask += static_cast<char>(p.a);
        }
    }
    std::string body;
    icnsChunk(body, "is32", packChannel(red) + packChannel(green) + packChannel(blue));
    icnsChunk(body, "s8mk", mask);
    icnsChunk(body, "ic07", png(128, picture));  // 128x128 PNG

    std::string out("icns");
    putBE32(out, static_cast<uint32_t>(body.size() + 8));
    return out + body;
}

}  // namespace vendrel::demo
