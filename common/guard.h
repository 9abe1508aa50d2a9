// The removal guard: one check that every remover (scanner, engine, routine, daemon) passes
// a path through before it moves it to the Trash or deletes it.
//
// Names and identifiers come from other programs' Info.plist files and are untrusted. The
// guard refuses, whoever asks:
//   - relative paths, and paths with an empty, "." or ".." component;
//   - the volume's root and every top-level folder ("/Applications", "/Library", "/usr", ...);
//   - the Library folders themselves and their well-known sub-folders ("/Library/Caches",
//     "<home>/Library/Application Support", "/System/Library/Extensions", ...);
//   - "/Users", "/Users/Shared", every home folder, its Library and its standard folders
//     (Documents, Desktop, Downloads, ...), root's home "/private/var/root";
//   - the system's own data folders ("/private/var/db/receipts", "/private/var/folders/vd",
//     "/usr/local/bin", ...) and the Trash folders.
// Everything below those stays removable: "/Library/Caches/com.foo" is fine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel::guard {

// Why the path must not be removed, or nullopt when it may be.
std::optional<std::string> refusal(std::string_view logicalPath);
inline bool isProtected(std::string_view logicalPath) {
    return refusal(logicalPath).has_value();
}

// A display name may name a folder ("/Users/Shared/<name>") only when it is not empty or
// blank, holds no "/" and no NUL, and is not "." or "..".
bool isUsableName(std::string_view name);

// An identifier may serve as a match fragment only when it is specific enough to match one
// product: a usable name that, with dots and white space stripped from its ends, has at least
// two dot-separated parts of which the last is not empty, and is not a bare vendor prefix of
// the reverse-DNS scheme ("com", "com.", "org.apple", ...). "com.foo" passes; "com", "com.",
// ".", "com.apple." do not.
bool isUsableIdentifier(std::string_view identifier);

// Confinement of the removals of one request made for a user who does not administer the
// host: while set, refusal() also refuses every path that is not one of `allowed` or below
// it (entries of fewer than two components below "/" allow nothing), and the primitives that
// act outside the guard (fixed root shell lines, emptying root's Trash, launchctl and killall
// of a command list) do nothing. Process-wide, like the home directory setting: the daemon
// sets it around one request at a time and clears it with nullopt.
void setConfinement(std::optional<std::vector<std::string>> allowed);
bool isConfined();

// For removals as root that run through the shell (chmod 777, rm -rf): refuses what
// refusal() refuses and any path whose parent folders pass through a symbolic link on the
// volume. A link at the path itself is allowed (it is removed as a link).
std::optional<std::string> forceRemovalRefusal(std::string_view logicalPath);

}  // namespace vendrel::guard
