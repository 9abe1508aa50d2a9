// Facts about the running system that reports and requests carry.
#pragma once

#include <string>

namespace vendrel::system {

// The OS generation as the maker's server expects it ("Mac OS X 10.11.x").
std::string osVersion();

}  // namespace vendrel::system
