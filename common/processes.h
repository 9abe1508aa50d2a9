// Stopping running applications (a force quit: no chance to save). Each returns whether a
// process was stopped.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vendrel::processes {

// Applications whose bundle name is exactly `name`.
bool killByName(const std::optional<std::string>& name);
// Applications whose bundle lies in the folder (containment of the path).
bool killInFolder(const std::optional<std::string>& folder);
bool killInFolders(const std::optional<std::vector<std::string>>& folders);

}  // namespace vendrel::processes
