// The library-location scanners: each lists one or two fixed folders and moves to the Trash
// every entry whose name contains the fragment (case-insensitive substring, no prefix or word
// rule), or, for launchd jobs, whose program path contains the given path.
//
// Safety rules on top of the matching rules (see sweep_support.h):
// - a blank or dots-only fragment matches nothing;
// - a home-relative folder is skipped when the home folder is unusable;
// - the per-user temporary-folder walk matches nothing for a fragment that already occurs in
//   the walked folder's own path ("/private/var/folders/vd/"), since every item would match;
// - every move goes through fun_File_DirRemoveToTrash, hence through the removal guard.
#include <initializer_list>

#include "common/lib_funs.h"
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
        if (platform::containsCaseInsensitive(name, fragment))
            lib_funs::fun_File_DirRemoveToTrash(platform::appendPathComponent(folder, name));
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
    lib_funs::fun_File_DeleteAllPlist_ByPath(programPath, isDelete, literal);
    if (auto homeFolder = sweep::homeJoin(literal))
        lib_funs::fun_File_DeleteAllPlist_ByPath(programPath, isDelete, *homeFolder);
    return true;
}

}  // namespace

bool lib_funs::fun_File_GetAllPlist_LibraryLaunchDaemons(const std::string*,
                                                         const std::string& PlistFileName,
                                                         bool IsDelete) {
    return scanFolders({systemDir(kLaunchDaemons), homeDir(kLaunchDaemons)}, PlistFileName,
                       IsDelete);
}

bool lib_funs::fun_File_GetAllPlist_LibraryLaunchAgents(const std::string*,
                                                        const std::string& PlistFileName,
                                                        bool IsDelete) {
    return scanFolders({systemDir(kLaunchAgents), homeDir(kLaunchAgents)}, PlistFileName, IsDelete);
}

bool lib_funs::fun_File_GetAllPlist_LibraryPreferences(const std::string*,
                                                       const std::string& PlistFileName,
                                                       bool IsDelete) {
    return scanFolders({systemDir("/Library/Preferences"), homeDir("/Library/Preferences")},
                       PlistFileName, IsDelete);
}

bool lib_funs::fun_File_GetAllPlist_Receipts(const std::string& fragment, bool bool_IsDelete) {
    return scanFolders({systemDir("/private/var/db/receipts")}, fragment, bool_IsDelete);
}

// The home caches come first here, unlike the launchd, preferences and logs scanners.
bool lib_funs::fun_File_GetAllFile_LibraryCaches(const std::string& fragment, bool bool_IsDelete) {
    return scanFolders({homeDir("/Library/Caches"), systemDir("/Library/Caches")}, fragment,
                       bool_IsDelete);
}

// Kernel extensions live only in the system folders, never in a home folder.
bool lib_funs::fun_File_GetAllFile_LibraryExtensions(const std::string& fragment,
                                                     bool bool_IsDelete) {
    return scanFolders({systemDir("/Library/Extensions"), systemDir("/System/Library/Extensions")},
                       fragment, bool_IsDelete);
}

bool lib_funs::fun_File_GetallFile_libraryCookies(const std::string& fragment, bool bool_IsDelete) {
    return scanFolders({homeDir("/Library/Cookies")}, fragment, bool_IsDelete);
}

bool lib_funs::fun_File_GetAllFile_LibraryApplictionState(const std::string& fragment,
                                                          bool bool_IsDelete) {
    return scanFolders({homeDir("/Library/Saved Application State")}, fragment, bool_IsDelete);
}

bool lib_funs::fun_File_GetAllFile_LibraryContainers(const std::string& fragment,
                                                     bool bool_IsDelete) {
    return scanFolders({homeDir("/Library/Containers")}, fragment, bool_IsDelete);
}

bool lib_funs::fun_File_GetAllFile_LibraryGroupContainers(const std::string& fragment,
                                                          bool bool_IsDelete) {
    return scanFolders({homeDir("/Library/Group Containers")}, fragment, bool_IsDelete);
}

bool lib_funs::fun_File_GetAllFile_LibraryLogs(const std::string& fragment, bool bool_IsDelete) {
    return scanFolders({systemDir("/Library/Logs"), homeDir("/Library/Logs")}, fragment,
                       bool_IsDelete);
}

bool lib_funs::fun_File_GetAllFile_LibrarySFL(const std::string& fragment, bool bool_IsDelete) {
    return scanFolders({homeDir("/Library/Application Support/com.apple.sharedfilelist/"
                                "com.apple.LSSharedFileList.ApplicationRecentDocuments")},
                       fragment, bool_IsDelete);
}

// Folders only, matched on the full path. A matching folder that was moved away is not
// descended into; one whose move was refused is, and its sub-folders (which match too, by
// the full-path rule) are tried one by one.
bool lib_funs::fun_File_GetAllFile_PrivateVarFoldersVd(const std::string& fragment,
                                                       bool bool_IsDelete) {
    if (!bool_IsDelete || !sweep::isUsableFragment(fragment))
        return true;
    if (platform::containsCaseInsensitive(std::string(kTemporaryFolders) + "/", fragment))
        return true;
    platform::fs::enumerate(kTemporaryFolders, [&](const platform::fs::WalkEntry& entry) {
        using platform::fs::WalkControl;
        if (!entry.typeKnown || entry.type != platform::fs::FileType::Directory ||
            !platform::containsCaseInsensitive(entry.path, fragment))
            return WalkControl::Continue;
        fun_File_DirRemoveToTrash(entry.path);
        return sweep::movedAway(entry.path) ? WalkControl::SkipDescendants : WalkControl::Continue;
    });
    return true;
}

bool lib_funs::fun_File_GetAllPlist_LibraryLaunchDaemons_ByPath(const std::string& programPath,
                                                                bool bool_IsDelete) {
    return scanLaunchJobsByPath(programPath, bool_IsDelete, kLaunchDaemons);
}

bool lib_funs::fun_File_GetAllPlist_LibraryLaunchAgents_ByPath(const std::string& programPath,
                                                               bool bool_IsDelete) {
    return scanLaunchJobsByPath(programPath, bool_IsDelete, kLaunchAgents);
}

// Also refuses, as matching nothing, a program path of fewer than three components: called
// directly it must not take every job whose program lies below a top-level folder.
bool lib_funs::fun_File_DeleteAllPlist_ByPath(const std::string& programPath, bool bool_IsDelete,
                                              const std::string& Str_LibraryLaunch_Path) {
    if (!platform::fs::fileExists(Str_LibraryLaunch_Path))
        return false;
    if (!bool_IsDelete || !sweep::isSpecificProgramPath(programPath))
        return true;
    sweep::LaunchJobFolder(Str_LibraryLaunch_Path).trashMatching(programPath);
    return true;
}

}  // namespace vendrel
