// Apple icon files (.icns) for the demo volume, generated in code.
#pragma once

#include <string>
#include <string_view>

namespace vendrel::demo {

// A valid .icns holding a 16x16 picture ('is32' with its 's8mk' mask) and a 128x128 PNG
// ('ic07'). The colour follows from `seed`, so every app gets an icon of its own and the
// same one on every build.
std::string makeIcns(std::string_view seed);

}  // namespace vendrel::demo
