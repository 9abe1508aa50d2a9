// The library-location scanners: each lists one or two fixed folders and moves to the Trash
// every entry whose name matches the fragment at component boundaries, or, for launchd jobs,
// whose program lies inside the given folder (common/leftover_match.h has the rules). A plain
// substring test took other applications' data ("com.foo" took "com.foo2" and "xcom.foo"),
// so it is not used.
//
// Safety rules on top of the matching rules (see sweep_support.h):
// - a blank or dots-only fragment matches nothing;
// - a home-relative folder is skipped when the home folder is unusable;
// - the per-user temporary-folder walk matches nothing for a fragment that already occurs in
//   the walked folder's own path ("/private/var/folders/vd/");
// - an entry that another installed application claims more specifically stays (when the
//   engine has made its Ownership current);
// - every move goes through files::moveToTrash, hence through the removal guard.
#include <initializer_list>

#include "common/files.h"
#include "common/leftover_match.h"
#include "common/scanners.h"
#include "common/sweep_support.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/strings.h"

namespace vendrel {
namespace {

// One folder of a scanner's table: a system path, or a literal below the home folder.
struct Folder {
    bool inHome;
    const char* path;
};

void trashMatchingEntries(const std::string& folder, const std::string& fragment) {
    // The listing is taken once, so moving entries away does not disturb the pass.
    for (const auto& name : platform::fs::contentsOfDirectory(folder)) {
        const std::string path = platform::appendPathComponent(folder, name);
        if (leftovers::belongsToRemoval(path, fragment))
            files::moveToTrash(path);
    }
}

bool scanFolders(std::initializer_list<Folder> folders, const std::string& fragment,
                 bool isDelete) {
    if (!isDelete || !sweep::isUsableFragment(fragment))
        return true;
    for (const auto& folder : folders) {
        if (!folder.inHome) {
            trashMatchingEntries(folder.path, fragment);
        } else if (auto path = sweep::homeJoin(folder.path)) {
            trashMatchingEntries(*path, fragment);
        }
    }
    return true;
}

constexpr Folder systemDir(const char* path) {
    return {false, path};
}
constexpr Folder homeDir(const char* path) {
    return {true, path};
}

constexpr const char* kLaunchDaemons = "/Library/LaunchDaemons";
constexpr const char* kLaunchAgents = "/Library/LaunchAgents";
constexpr const char* kTemporaryFolders = "/private/var/folders/vd";

bool scanLaunchJobsByPath(const std::string& programPath, bool isDelete, const char* literal) {
    if (!sweep::isSpecificProgramPath(programPath))
        return false;
    scanners::launchJobsByProgram(programPath, isDelete, literal);
    if (auto homeFolder = sweep::homeJoin(literal))
        scanners::launchJobsByProgram(programPath, isDelete, *homeFolder);
    return true;
}

}  // namespace

bool scanners::launchDaemons(const std::string*, const std::string& fragment, bool remove) {
    return scanFolders({systemDir(kLaunchDaemons), homeDir(kLaunchDaemons)}, fragment, remove);
}

bool scanners::launchAgents(const std::string*, const std::string& fragment, bool remove) {
    return scanFolders({systemDir(kLaunchAgents), homeDir(kLaunchAgents)}, fragment, remove);
}

bool scanners::preferences(const std::string*, const std::string& fragment, bool remove) {
    return scanFolders({systemDir("/Library/Preferences"), homeDir("/Library/Preferences")},
                       fragment, remove);
}

bool scanners::receipts(const std::string& fragment, bool remove) {
    return scanFolders({systemDir("/private/var/db/receipts")}, fragment, remove);
}

// The home caches come first here, unlike the launchd, preferences and logs scanners.
bool scanners::caches(const std::string& fragment, bool remove) {
    return scanFolders({homeDir("/Library/Caches"), systemDir("/Library/Caches")}, fragment,
                       remove);
}

// Kernel extensions live only in the system folders, never in a home folder.
bool scanners::extensions(const std::string& fragment, bool remove) {
    return scanFolders({systemDir("/Library/Extensions"), systemDir("/System/Library/Extensions")},
                       fragment, remove);
}

bool scanners::cookies(const std::string& fragment, bool remove) {
    return scanFolders({homeDir("/Library/Cookies")}, fragment, remove);
}

bool scanners::savedState(const std::string& fragment, bool remove) {
    return scanFolders({homeDir("/Library/Saved Application State")}, fragment, remove);
}

bool scanners::containers(const std::string& fragment, bool remove) {
    return scanFolders({homeDir("/Library/Containers")}, fragment, remove);
}

bool scanners::groupContainers(const std::string& fragment, bool remove) {
    return scanFolders({homeDir("/Library/Group Containers")}, fragment, remove);
}

bool scanners::logs(const std::string& fragment, bool remove) {
    return scanFolders({systemDir("/Library/Logs"), homeDir("/Library/Logs")}, fragment, remove);
}

bool scanners::sharedFileLists(const std::string& fragment, bool remove) {
    return scanFolders({homeDir("/Library/Application Support/com.apple.sharedfilelist/"
                                "com.apple.LSSharedFileList.ApplicationRecentDocuments")},
                       fragment, remove);
}

// Folders only, matched on their own name (a match on the full path took every folder below
// one whose name merely contained the fragment). A matching folder that was moved away is
// not descended into; one whose move was refused is, and its sub-folders are tried in turn.
bool scanners::temporaryFolders(const std::string& fragment, bool remove) {
    if (!remove || !sweep::isUsableFragment(fragment))
        return true;
    if (platform::containsCaseInsensitive(std::string(kTemporaryFolders) + "/", fragment))
        return true;
    platform::fs::enumerate(kTemporaryFolders, [&](const platform::fs::WalkEntry& entry) {
        using platform::fs::WalkControl;
        if (!entry.typeKnown || entry.type != platform::fs::FileType::Directory ||
            !leftovers::belongsToRemoval(entry.path, fragment))
            return WalkControl::Continue;
        files::moveToTrash(entry.path);
        return sweep::movedAway(entry.path) ? WalkControl::SkipDescendants : WalkControl::Continue;
    });
    return true;
}

bool scanners::launchDaemonsByProgram(const std::string& programPath, bool remove) {
    return scanLaunchJobsByPath(programPath, remove, kLaunchDaemons);
}

bool scanners::launchAgentsByProgram(const std::string& programPath, bool remove) {
    return scanLaunchJobsByPath(programPath, remove, kLaunchAgents);
}

// Also refuses, as matching nothing, a program path of fewer than three components: called
// directly it must not take every job whose program lies below a top-level folder.
bool scanners::launchJobsByProgram(const std::string& programPath, bool remove,
                                   const std::string& jobFolder) {
    if (!platform::fs::fileExists(jobFolder))
        return false;
    if (!remove || !sweep::isSpecificProgramPath(programPath))
        return true;
    sweep::LaunchJobFolder(jobFolder).trashMatching(programPath);
    return true;
}

}  // namespace vendrel
