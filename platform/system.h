// System facts: the AppKit generation of the volume's system, and the alias-file test.
#pragma once

#include <string_view>

namespace vendrel::platform {

// NSAppKitVersionNumber of the volume's macOS, derived from
// /System/Library/CoreServices/SystemVersion.plist ("ProductVersion"). A missing or
// unreadable file gives the newest generation known.
double appKitVersionNumber();

// True when the file holds Finder alias (bookmark) data: "book\0\0\0\0mark" at its start.
bool isAliasFile(std::string_view logicalPath);

}  // namespace vendrel::platform
