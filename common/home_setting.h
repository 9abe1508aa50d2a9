// The process-wide home directory setting: the requesting user's home folder while the
// daemon (running as root, with root's own home) removes that user's leftovers. Null until
// set. The daemon sets it before each request; see the daemon for how requests are
// serialised around it. Both the engine and the routines read it.
#pragma once

#include <optional>
#include <string>

namespace vendrel {

void setHomeDirectory(const std::optional<std::string>& home);
std::optional<std::string> homeDirectorySetting();

}  // namespace vendrel
