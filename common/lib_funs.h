// lib_funs: the stateless file-system toolkit shared by the application and the daemon.
//
// Contracts common to every operation:
// - Paths are logical absolute paths (platform/paths.h); the toolkit never expands "~".
// - No operation reports failure: a missing path, an unreadable item or a refused move ends
//   the operation quietly.
// - Removing a leftover means moving it to the Trash through fun_File_DirRemoveToTrash,
//   which passes every path through the removal guard (common/guard.h) and reports what it
//   did to the current removal journal (common/journal.h).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vendrel {

class lib_funs {
  public:
    lib_funs() = delete;

    // ---- File measures, formatting and deletion ----
    static std::string fun_Date_dateToStr(std::chrono::system_clock::time_point date);
    static std::string fun_File_SizeToStr(std::optional<uint64_t> bytes);
    static std::optional<uint64_t> fun_File_GetFileSize(const std::string& path);
    static std::string fun_File_GetFileSizeToStr(const std::string& path);
    static std::optional<uint64_t> fun_File_GetDirSize(const std::string& path);
    static bool fun_File_GetSubDirsAndFilesNum(const std::string& path, uint64_t& Num_Dirs,
                                               uint64_t& Num_Files,
                                               std::optional<uint64_t>& Num_Size);
    static void fun_File_Delete(const std::string& path);
    static void fun_File_DirRemoveToTrash(const std::string& path);

    // ---- Library-location scanners ----
    // The first argument of the three PlistFileName scanners takes no part in the scan.
    static bool fun_File_GetAllPlist_LibraryLaunchDaemons(const std::string* ignored,
                                                          const std::string& PlistFileName,
                                                          bool IsDelete);
    static bool fun_File_GetAllPlist_LibraryLaunchAgents(const std::string* ignored,
                                                         const std::string& PlistFileName,
                                                         bool IsDelete);
    static bool fun_File_GetAllPlist_LibraryPreferences(const std::string* ignored,
                                                        const std::string& PlistFileName,
                                                        bool IsDelete);
    static bool fun_File_GetAllPlist_Receipts(const std::string& fragment, bool bool_IsDelete);
    static bool fun_File_GetAllFile_LibraryCaches(const std::string& fragment, bool bool_IsDelete);
    static bool fun_File_GetAllFile_LibraryExtensions(const std::string& fragment,
                                                      bool bool_IsDelete);
    static bool fun_File_GetallFile_libraryCookies(const std::string& fragment, bool bool_IsDelete);
    static bool fun_File_GetAllFile_LibraryApplictionState(const std::string& fragment,
                                                           bool bool_IsDelete);
    static bool fun_File_GetAllFile_LibraryContainers(const std::string& fragment,
                                                      bool bool_IsDelete);
    static bool fun_File_GetAllFile_LibraryGroupContainers(const std::string& fragment,
                                                           bool bool_IsDelete);
    static bool fun_File_GetAllFile_LibraryLogs(const std::string& fragment, bool bool_IsDelete);
    static bool fun_File_GetAllFile_LibrarySFL(const std::string& fragment, bool bool_IsDelete);
    static bool fun_File_GetAllFile_PrivateVarFoldersVd(const std::string& fragment,
                                                        bool bool_IsDelete);
    static bool fun_File_GetAllPlist_LibraryLaunchDaemons_ByPath(const std::string& programPath,
                                                                 bool bool_IsDelete);
    static bool fun_File_GetAllPlist_LibraryLaunchAgents_ByPath(const std::string& programPath,
                                                                bool bool_IsDelete);
    static bool fun_File_DeleteAllPlist_ByPath(const std::string& programPath, bool bool_IsDelete,
                                               const std::string& Str_LibraryLaunch_Path);

    // ---- Process termination and system facts ----
    static bool fun_Process_KillByName(const std::optional<std::string>& name);
    static bool fun_Process_killByDirPath(const std::optional<std::string>& dirPath);
    static bool fun_Process_KillByMultipleDirPath(
        const std::optional<std::vector<std::string>>& dirPaths);
    static std::string fun_OS_GetVersion();
    static bool fun_Path_IsSymbolicLinkorAlias(const std::string& path);
};

}  // namespace vendrel
