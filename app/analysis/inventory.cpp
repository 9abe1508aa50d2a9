#include "app/analysis/inventory.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <stdexcept>

#include "common/files.h"
#include "common/request_files.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/tree_walk.h"

namespace vendrel {

void FileTable::clear() {
    rows_.clear();
    runs_.clear();
    folders_.clear();
    texts_.clear();
}

uint32_t FileTable::folderOf(size_t row) const {
    // The last run that starts at or before the row.
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), row,
                                        [](size_t r, const Run& run) { return r < run.firstRow; });
    return std::prev(after)->folder;
}

std::string_view FileTable::name(size_t row) const {
    return std::string_view(folders_[folderOf(row)].names.data() + rows_[row].nameAt);
}

std::string_view FileTable::folder(size_t row) const {
    const Folder& f = folders_[folderOf(row)];
    return std::string_view(texts_).substr(f.textAt, f.textSize);
}

std::string FileTable::sizeText(size_t row) const {
    const uint64_t n = rows_[row].bytes();
    return n == 0 ? std::string() : files::sizeText(n);
}

std::optional<std::string> FileTable::value(std::string_view columnIdentifier, size_t row) const {
    if (row >= rows_.size())
        return std::nullopt;
    if (columnIdentifier == "FileName")
        return std::string(name(row));
    if (columnIdentifier == "FileSize")
        return sizeText(row);
    if (columnIdentifier == "FilePath")
        return std::string(folder(row));
    return std::nullopt;
}

uint32_t FileTable::addFolder(std::string text, std::vector<char> names) {
    if (folders_.size() >= std::numeric_limits<uint32_t>::max())
        throw std::length_error("file table: too many folders");
    folders_.push_back({std::move(names), texts_.size(), text.size()});
    texts_.append(text);
    return static_cast<uint32_t>(folders_.size() - 1);
}

void FileTable::push(uint32_t folder, uint32_t nameAt, uint64_t bytes) {
    if (runs_.empty() || runs_.back().folder != folder)
        runs_.push_back({rows_.size(), folder});
    rows_.push_back({static_cast<uint32_t>(bytes), static_cast<uint32_t>(bytes >> 32), nameAt});
}

void FileTable::addListed(uint32_t folder, const char* nameInBlock, uint64_t bytes) {
    const std::vector<char>& block = folders_.at(folder).names;
    if (block.empty() || nameInBlock < block.data() || nameInBlock >= block.data() + block.size())
        throw std::invalid_argument("file table: name outside the folder's block");
    push(folder, static_cast<uint32_t>(nameInBlock - block.data()), bytes);
}

void FileTable::add(uint32_t folder, std::string_view name, uint64_t bytes) {
    std::vector<char>& block = folders_.at(folder).names;
    if (block.size() + name.size() + 1 > std::numeric_limits<uint32_t>::max())
        throw std::length_error("file table: a folder's names past 4 GiB");
    const auto at = static_cast<uint32_t>(block.size());
    block.insert(block.end(), name.begin(), name.end());
    block.push_back('\0');
    push(folder, at, bytes);
}

std::string requestFilesFolder() {
    return platform::appendPathComponent(platform::runningBundlePath(), "Contents");
}

void takeInventory(const std::string& installPath, const std::string& appName,
                   const std::string& bundleId, FileTable& entries, uint64_t& folderCount,
                   uint64_t& fileCount, std::optional<uint64_t>& totalSize,
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

    // The holding folders of the item being visited, from the bundle down. The walk visits
    // depth-first, so an item's folder is always on this path; each folder's text is made
    // once, when its first file is met.
    struct Folder {
        uint32_t number;
        std::string logical;  // "" for the volume root, as the walk reports it
        uint32_t tableFolder = std::numeric_limits<uint32_t>::max();  // in the table, once added
    };
    std::vector<Folder> path;
    path.push_back({0, prefix == "/" ? std::string() : prefix});

    platform::fs::walkTree(
        installPath, 0, progress,
        [&](const platform::fs::TreeTotals& totals) {
            entries.reserve(entries.size() + totals.files);
        },
        [&](platform::fs::TreeItem& item) {
            if (!item.typeKnown)
                return;
            while (path.back().number != item.folder)
                path.pop_back();
            Folder& holder = path.back();
            if (item.type == platform::fs::FileType::Directory) {
                ++folderCount;
                std::string logical;
                logical.reserve(holder.logical.size() + 1 + item.name.size());
                logical.append(holder.logical).append("/").append(item.name);
                path.push_back({item.self, std::move(logical)});
                return;
            }
            if (holder.tableFolder == std::numeric_limits<uint32_t>::max()) {
                std::string folder = holder.logical.empty() ? std::string("/") : holder.logical;
                if (const size_t at = prefix.empty() ? std::string::npos : folder.find(prefix);
                    at != std::string::npos)
                    folder.replace(at, prefix.size(), "..");
                // The folder's listing becomes the table's name block: no name is copied.
                holder.tableFolder = entries.addFolder(std::move(folder), std::move(*item.names));
            }
            // The walk has read the entry's own status, so a regular file needs no further
            // look-up; only a link (whose target may be missing) or a special file is tested
            // again, as files::fileSize would: a dangling link measures 0.
            uint64_t size = item.size;
            if (item.type != platform::fs::FileType::Regular) {
                std::string full = holder.logical;
                full.append("/").append(item.name);
                if (!platform::fs::fileExists(full))
                    size = 0;
            }
            entries.addListed(holder.tableFolder, item.name.data(), size);
            ++fileCount;
            total += size;
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
