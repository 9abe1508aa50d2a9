// Data embedded in an executable file: the daemon carries its information list and its
// launchd list in sections named "__info_plist" and "__launchd_plist", and the blessing step
// reads them from the file without running it.
//
// The file is untrusted (it sits in a bundle a user may have altered): the reader parses the
// headers itself with bounds checks on every offset and size, reads at most
// kMaxExecutableBytes, and treats anything malformed as "no such section".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vendrel::platform {

inline constexpr uint64_t kMaxExecutableBytes = 256u * 1024 * 1024;
inline constexpr uint64_t kMaxSectionBytes = 1024u * 1024;

// The contents of the named section of a 64-bit little-endian ELF image, or nullopt.
std::optional<std::string> sectionFromImage(std::string_view image, std::string_view name);
// The same, read from a file (logical path).
std::optional<std::string> embeddedSection(std::string_view logicalPath, std::string_view name);

}  // namespace vendrel::platform
