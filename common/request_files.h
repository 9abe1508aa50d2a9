// The two request files through which the application tells the daemon what to remove:
// Delete_FoldersFiles.txt (the folder list) and Delete_Cml.txt (the command list), XML
// property lists (an array of string dictionaries) in the running bundle's Contents folder.
// The writer (application) and the reader (daemon) both build this one module, so the
// layout cannot drift apart.
//
// Binding the two files to one analysis. Both files outlive the request that used them, so
// a stale file could make the root daemon act for the wrong application. Three rules close
// that:
//   1. Every analysis removes the folder list before it walks the bundle, and the removal
//      database client removes the command list before it downloads, so after an analysis
//      both files belong to it or do not exist.
//   2. The command list carries, besides "RemovalCml", the key "FilePath": the install path
//      it was downloaded for. Readers ignore the key's absence in no case: a command list
//      without "FilePath", or with a "FilePath" other than the folder list's, is not run.
//      (Readers look keys up by name, so the extra key leaves the layout intact.)
//   3. The daemon re-checks the folder list's "FilePath" against the allowed locations
//      before it acts (see daemon/).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/plist.h"

namespace vendrel::request_files {

inline constexpr std::string_view kFolderListName = "Delete_FoldersFiles.txt";
inline constexpr std::string_view kCommandListName = "Delete_Cml.txt";
// Where the daemon reads them: the installed application's Contents folder.
inline constexpr std::string_view kInstalledContentsFolder = "/Applications/Vendrel.app/Contents";

struct FolderList {
    // Each member is stored under the key of the same meaning ("AppName", "Publisher",
    // "IsDirPath", "FilePath", "CurrentUserHomeDirPath"), one dictionary per entry.
    std::string appName;           // entry 0
    std::string bundleId;          // entry 0
    std::string isFolder = "YES";  // entry 1
    std::string installPath;       // entry 1
    std::string userHome;          // entry 2
};

struct CommandList {
    std::string commands;     // "RemovalCml": the list's shell text
    std::string installPath;  // "FilePath": the install path the list was downloaded for
};

enum class ReadStatus {
    Missing,  // no file, or not a readable property list array
    Ignored,  // not exactly three entries, or "IsDirPath" is not "YES" ignoring case
    Ok,
};

std::string folderListPath(std::string_view contentsFolder);
std::string commandListPath(std::string_view contentsFolder);

bool writeFolderList(std::string_view contentsFolder, const FolderList& list);
bool writeCommandList(std::string_view contentsFolder, const CommandList& list);

ReadStatus readFolderList(std::string_view contentsFolder, FolderList& out);
// The same rules on a property list already parsed (the readers above use them).
ReadStatus parseFolderList(const platform::plist::Value& root, FolderList& out);
std::optional<CommandList> parseCommandList(const platform::plist::Value& root);
// nullopt when the file is missing, unreadable or holds an empty "RemovalCml".
std::optional<CommandList> readCommandList(std::string_view contentsFolder);

void removeFolderList(std::string_view contentsFolder);
void removeCommandList(std::string_view contentsFolder);

}  // namespace vendrel::request_files
