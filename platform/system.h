// System facts: the AppKit generation of the volume's system, and the alias-file test.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vendrel::platform {

// NSAppKitVersionNumber of the volume's macOS, derived from
// /System/Library/CoreServices/SystemVersion.plist ("ProductVersion"). A missing or
// unreadable file gives the newest generation known.
double appKitVersionNumber();

// True when the file holds Finder alias (bookmark) data: "book\0\0\0\0mark" at its start.
bool isAliasFile(std::string_view logicalPath);

// Whether the process's standard error is a terminal (progress lines are drawn only there).
bool standardErrorIsTerminal();

// Whether the process runs with the administrator's (root's) effective identity.
bool runsAsRoot();

// Calls `onStop` when the service manager asks the process to stop (SIGTERM) or the user
// interrupts it (SIGINT); `onStop` must only do what is safe in a signal handler. A peer
// that goes away mid-write is reported as a write error rather than ending the process.
void installStopHandler(void (*onStop)());

// Why the volume root (VENDREL_ROOT) cannot be used: not a folder, or not readable.
// Nullopt when it can, or when it is not set (the machine's own root).
std::optional<std::string> volumeRootProblem();

}  // namespace vendrel::platform
