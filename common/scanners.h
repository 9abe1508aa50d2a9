// The library-location scanners. Each lists one fixed folder (or the system folder and its
// home twin) and, with `remove`, moves every entry that matches the fragment to the Trash.
// See common/leftover_match.h for the matching rules.
#pragma once

#include <optional>
#include <string>

namespace vendrel::scanners {

// The first argument of these three takes no part in the scan.
bool launchDaemons(const std::string* ignored, const std::string& fragment, bool remove);
bool launchAgents(const std::string* ignored, const std::string& fragment, bool remove);
bool preferences(const std::string* ignored, const std::string& fragment, bool remove);

bool receipts(const std::string& fragment, bool remove);
bool caches(const std::string& fragment, bool remove);
bool extensions(const std::string& fragment, bool remove);
bool cookies(const std::string& fragment, bool remove);
bool savedState(const std::string& fragment, bool remove);
bool containers(const std::string& fragment, bool remove);
bool groupContainers(const std::string& fragment, bool remove);
bool logs(const std::string& fragment, bool remove);
bool sharedFileLists(const std::string& fragment, bool remove);
// The per-user temporary folders below "/private/var/folders".
bool temporaryFolders(const std::string& fragment, bool remove);

// launchd jobs whose program lies inside the folder `programPath` (continues it with "/").
bool launchDaemonsByProgram(const std::string& programPath, bool remove);
bool launchAgentsByProgram(const std::string& programPath, bool remove);
bool launchJobsByProgram(const std::string& programPath, bool remove, const std::string& jobFolder);

}  // namespace vendrel::scanners
