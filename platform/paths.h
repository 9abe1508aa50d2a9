// Logical macOS paths over a volume root.
//
// Everything above this layer speaks in logical paths ("/Applications/Foo.app",
// "/Users/alice/Library/Caches"), exactly as macOS names them. Only this layer turns a
// logical path into a host path, and only when it touches the file system:
//     host = VENDREL_ROOT + logical
// VENDREL_ROOT defaults to "/", where the mapping is the identity. The environment is read
// on every call, so a test can point the layer at a fresh temporary volume with setenv().
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel::platform {

// The host folder that stands for the logical "/". Never empty; no trailing slash unless "/".
std::string volumeRoot();

// Maps a logical absolute path to the host. A relative logical path is refused (empty
// result): nothing above the layer may act on a path relative to the working folder.
std::string toHost(std::string_view logical);

// Maps a host path back to a logical one; nullopt for a host path outside the volume root.
std::optional<std::string> toLogical(std::string_view host);

// NSHomeDirectory: VENDREL_HOME (a logical path) if set; otherwise "/private/var/root" for
// root on a volume root other than "/", "$HOME" on the "/" root.
std::string homeDirectory();

// NSSearchPathForDirectoriesInDomains(NSDesktopDirectory, NSUserDomainMask, YES).
std::string desktopDirectory();

// The running application's bundle ("/Applications/Vendrel.app"): VENDREL_APP_BUNDLE if set,
// else the bundle that holds the running executable (X.app/Contents/MacOS/exe), else
// "/Applications/Vendrel.app".
std::string runningBundlePath();

// NSString path helpers with Foundation's semantics.
std::string appendPathComponent(std::string_view base, std::string_view component);
std::string lastPathComponent(std::string_view path);
std::string deletingLastPathComponent(std::string_view path);
std::string pathExtension(std::string_view path);
std::string deletingPathExtension(std::string_view path);
// "/" counts as the first component of an absolute path; trailing slashes are ignored.
std::vector<std::string> pathComponents(std::string_view path);
// Collapses duplicate slashes and a trailing slash; does not touch "." or "..".
std::string standardizePath(std::string_view path);

}  // namespace vendrel::platform
