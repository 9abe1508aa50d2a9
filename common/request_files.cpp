#include "common/request_files.h"

#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/strings.h"

namespace vendrel::request_files {
namespace {

namespace plist = platform::plist;

const std::string* stringAt(const plist::Array& array, size_t index, std::string_view key) {
    if (index >= array.size())
        return nullptr;
    const plist::Dictionary* d = array[index].dictionary();
    return d ? plist::stringForKey(*d, key) : nullptr;
}

}  // namespace

std::string folderListPath(std::string_view contentsFolder) {
    return platform::appendPathComponent(contentsFolder, kFolderListName);
}

std::string commandListPath(std::string_view contentsFolder) {
    return platform::appendPathComponent(contentsFolder, kCommandListName);
}

bool writeFolderList(std::string_view contentsFolder, const FolderList& list) {
    const plist::Array entries = {
        plist::Dictionary{{"AppName", list.appName}, {"Publisher", list.bundleId}},
        plist::Dictionary{{"IsDirPath", list.isFolder}, {"FilePath", list.installPath}},
        plist::Dictionary{{"CurrentUserHomeDirPath", list.userHome}},
    };
    return plist::writeXmlFile(folderListPath(contentsFolder), entries);
}

bool writeCommandList(std::string_view contentsFolder, const CommandList& list) {
    const plist::Array entries = {
        plist::Dictionary{{"RemovalCml", list.commands}, {"FilePath", list.installPath}},
    };
    return plist::writeXmlFile(commandListPath(contentsFolder), entries);
}

// Beyond the count and "IsDirPath", a folder list is ignored when it lacks what the daemon
// needs to act safely: a "FilePath" to remove, and the home folder that takes the place of
// "~" (an empty one would turn "~/Library/..." into "/Library/..."). Missing display names
// read as empty strings.
ReadStatus readFolderList(std::string_view contentsFolder, FolderList& out) {
    const std::optional<plist::Value> root = plist::readFile(folderListPath(contentsFolder));
    return root ? parseFolderList(*root, out) : ReadStatus::Missing;
}

ReadStatus parseFolderList(const plist::Value& root, FolderList& out) {
    const plist::Array* array = root.array();
    if (!array)
        return ReadStatus::Missing;
    if (array->size() != 3)
        return ReadStatus::Ignored;
    const std::string* isDirPath = stringAt(*array, 1, "IsDirPath");
    if (!isDirPath || !platform::equals65(*isDirPath, "YES"))
        return ReadStatus::Ignored;
    const std::string* filePath = stringAt(*array, 1, "FilePath");
    const std::string* home = stringAt(*array, 2, "CurrentUserHomeDirPath");
    if (!filePath || filePath->empty() || !home || home->empty())
        return ReadStatus::Ignored;

    const std::string* appName = stringAt(*array, 0, "AppName");
    const std::string* publisher = stringAt(*array, 0, "Publisher");
    out.appName = appName ? *appName : std::string();
    out.bundleId = publisher ? *publisher : std::string();
    out.isFolder = *isDirPath;
    out.installPath = *filePath;
    out.userHome = *home;
    return ReadStatus::Ok;
}

// A list without "FilePath" cannot be tied to a folder list, so it reads as absent.
std::optional<CommandList> readCommandList(std::string_view contentsFolder) {
    const std::optional<plist::Value> root = plist::readFile(commandListPath(contentsFolder));
    return root ? parseCommandList(*root) : std::nullopt;
}

std::optional<CommandList> parseCommandList(const plist::Value& root) {
    const plist::Array* array = root.array();
    if (!array || array->empty())
        return std::nullopt;
    const std::string* cml = stringAt(*array, 0, "RemovalCml");
    const std::string* filePath = stringAt(*array, 0, "FilePath");
    if (!cml || cml->empty() || !filePath || filePath->empty())
        return std::nullopt;
    return CommandList{*cml, *filePath};
}

void removeFolderList(std::string_view contentsFolder) {
    platform::fs::removeItem(folderListPath(contentsFolder));
}

void removeCommandList(std::string_view contentsFolder) {
    platform::fs::removeItem(commandListPath(contentsFolder));
}

}  // namespace vendrel::request_files
