// Random UUIDs (NSUUID).
#pragma once

#include <string>

namespace vendrel::platform {

// A new random (version 4) UUID in its text form: 36 characters, upper-case hexadecimal
// digits in groups of 8, 4, 4, 4 and 12 joined by hyphens.
std::string newUuidString();

}  // namespace vendrel::platform
