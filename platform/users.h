// The user database: who a user id is, where its home lies, whether it administers the host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vendrel::platform::users {

// True for root and for members of the host's administrator group: "admin" where it exists,
// else "sudo", else "wheel" (Linux distributions name it differently), by the user's primary
// group or the group's member list.
bool isAdministrator(uint32_t uid);

// The user's home as a logical path: "/private/var/root" for root, "/Users/<name>" for a user
// the database knows (a volume's homes lie in "/Users" whatever the host calls them);
// nullopt for an unknown user or a name that cannot be a folder name.
std::optional<std::string> homeOf(uint32_t uid);

}  // namespace vendrel::platform::users
