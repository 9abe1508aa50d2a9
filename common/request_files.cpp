#include "common/request_files.h"

#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/strings.h"

namespace vendrel::request_files {
namespace {

namespace pl = platform::plist;

std::string stringOr(const pl::Dictionary& d, const char* key) {
    const std::string* s = pl::stringForKey(d, key);
    return s ? *s : std::string();
}

}  // namespace

std::string folderListPath(std::string_view contentsFolder) {
    return platform::appendPathComponent(contentsFolder, kFolderListName);
}

std::string commandListPath(std::string_view contentsFolder) {
    return platform::appendPathComponent(contentsFolder, kCommandListName);
}

bool writeFolderList(std::string_view contentsFolder, const FolderList& list) {
    pl::Array entries{
        pl::Dictionary{{"AppName", list.AppName}, {"Publisher", list.Publisher}},
        pl::Dictionary{{"IsDirPath", list.IsDirPath}, {"FilePath", list.FilePath}},
        pl::Dictionary{{"CurrentUserHomeDirPath", list.CurrentUserHomeDirPath}},
    };
    return pl::writeXmlFile(folderListPath(contentsFolder), pl::Value(std::move(entries)));
}

bool writeCommandList(std::string_view contentsFolder, const CommandList& list) {
    pl::Array entries{pl::Dictionary{{"RemovalCml", list.RemovalCml}, {"FilePath", list.FilePath}}};
    return pl::writeXmlFile(commandListPath(contentsFolder), pl::Value(std::move(entries)));
}

ReadStatus readFolderList(std::string_view contentsFolder, FolderList& out) {
    auto array = pl::readArray(folderListPath(contentsFolder));
    if (!array) return ReadStatus::Missing;
    if (array->size() != 3) return ReadStatus::Ignored;
    const pl::Dictionary* e0 = (*array)[0].dictionary();
    const pl::Dictionary* e1 = (*array)[1].dictionary();
    const pl::Dictionary* e2 = (*array)[2].dictionary();
    if (!e0 || !e1 || !e2) return ReadStatus::Ignored;
    const std::string* isDir = pl::stringForKey(*e1, "IsDirPath");
    if (!isDir || !platform::equals65(*isDir, "YES")) return ReadStatus::Ignored;
    out.AppName = stringOr(*e0, "AppName");
    out.Publisher = stringOr(*e0, "Publisher");
    out.IsDirPath = *isDir;
    out.FilePath = stringOr(*e1, "FilePath");
    out.CurrentUserHomeDirPath = stringOr(*e2, "CurrentUserHomeDirPath");
    return ReadStatus::Ok;
}

std::optional<CommandList> readCommandList(std::string_view contentsFolder) {
    auto array = pl::readArray(commandListPath(contentsFolder));
    if (!array || array->empty()) return std::nullopt;
    const pl::Dictionary* e0 = (*array)[0].dictionary();
    if (!e0) return std::nullopt;
    const std::string* cml = pl::stringForKey(*e0, "RemovalCml");
    if (!cml || cml->empty()) return std::nullopt;
    return CommandList{*cml, stringOr(*e0, "FilePath")};
}

void removeFolderList(std::string_view contentsFolder) {
    platform::fs::removeItem(folderListPath(contentsFolder));
}

void removeCommandList(std::string_view contentsFolder) {
    platform::fs::removeItem(commandListPath(contentsFolder));
}

}  // namespace vendrel::request_files
