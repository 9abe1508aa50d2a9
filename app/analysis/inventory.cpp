#include "app/analysis/inventory.h"

#include "common/files.h"
#include "common/request_files.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace vendrel {

const std::string* fileEntryValue(const FileEntry& entry, std::string_view columnIdentifier) {
    if (columnIdentifier == "FileName")
        return &entry.name;
    if (columnIdentifier == "FileSize")
        return &entry.sizeText;
    if (columnIdentifier == "FilePath")
        return &entry.folder;
    return nullptr;
}

std::string requestFilesFolder() {
    return platform::appendPathComponent(platform::runningBundlePath(), "Contents");
}

namespace {

// The measure files::fileSize gives for a walked item: the entry's own (not followed)
// size when the path exists under the existence test, else nothing. The walk has already
// read the entry's status, so a regular file needs no further look-up; only a link (whose
// target may be missing) or a special file is tested again. This keeps the inventory at
// one status read per file, as fast as a bare walker.
uint64_t walkedFileSize(const platform::fs::WalkEntry& e) {
    if (e.type == platform::fs::FileType::Regular)
        return e.size;
    return platform::fs::fileExists(e.path) ? e.size : 0;
}

}  // namespace

void takeInventory(const std::string& installPath, const std::string& appName,
                   const std::string& bundleId, std::vector<FileEntry>& entries,
                   uint64_t& folderCount, uint64_t& fileCount, std::optional<uint64_t>& totalSize,
                   const InventoryProgress& progress) {
    fileCount = 0;
    folderCount = 0;
    uint64_t total = 0;

    // Before anything else: whatever this walk finds, the folder list of an earlier
    // analysis must not survive it.
    const std::string contents = requestFilesFolder();
    request_files::removeFolderList(contents);

    // The walk reports paths below the install path without its trailing separators.
    std::string prefix = installPath;
    while (prefix.size() > 1 && prefix.back() == '/')
        prefix.pop_back();

    platform::fs::enumerate(installPath, [&](const platform::fs::WalkEntry& e) {
        if (!e.typeKnown)
            return platform::fs::WalkControl::Continue;
        if (e.type == platform::fs::FileType::Directory) {
            ++folderCount;
            return platform::fs::WalkControl::Continue;
        }
        const std::string& f = e.path;
        const size_t slash = f.rfind('/');
        FileEntry entry;
        entry.name = f.substr(slash == std::string::npos ? 0 : slash + 1);
        std::string folder = slash == std::string::npos ? std::string()
                             : slash == 0               ? std::string("/")
                                                        : f.substr(0, slash);
        if (const size_t at = prefix.empty() ? std::string::npos : folder.find(prefix);
            at != std::string::npos)
            folder.replace(at, prefix.size(), "..");
        entry.folder = std::move(folder);
        const uint64_t size = walkedFileSize(e);
        if (size != 0)
            entry.sizeText = files::sizeText(size);
        entries.push_back(std::move(entry));

        ++fileCount;
        total += size;
        if (progress)
            progress(folderCount, fileCount);
        return platform::fs::WalkControl::Continue;
    });

    totalSize = total;
    if (total != 0) {
        request_files::FolderList list;
        list.appName = appName;
        list.bundleId = bundleId;
        list.installPath = installPath;
        list.userHome = platform::homeDirectory();
        request_files::writeFolderList(contents, list);  // a failed write is not reported
    }
}

}  // namespace vendrel
