// Stage 1 of the analysis: the inventory of one installed bundle.
//
// Walks the bundle (links reported, not followed; packages entered; hidden items included;
// unreadable folders skipped), counts its folders and files, lists every file with its
// size, sums the sizes and writes the folder list request file for the daemon.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel {

// The files found inside the bundle, one row per file in the order the walk meets them.
//
// Stored compactly, because a bundle may hold a million files: a row is its size in bytes,
// the number of its holding folder and where its name lies in that folder's name block (the
// walk's own listing, taken over without copying). A folder's text is stored once; the size
// text is made when a cell is shown, not per file.
class FileTable {
  public:
    size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    void clear();

    // The cell texts, by column identifier ("FileName", "FileSize", "FilePath"):
    // - name: the file's last path component;
    // - sizeText: empty for a file of 0 bytes (or a dangling link), else files::sizeText;
    // - folder: the holding folder, with the install path replaced by "..".
    std::string_view name(size_t row) const;
    uint64_t bytes(size_t row) const { return rows_[row].bytes(); }
    std::string sizeText(size_t row) const;
    std::string_view folder(size_t row) const;
    // nullopt for an unknown column identifier or a row out of range.
    std::optional<std::string> value(std::string_view columnIdentifier, size_t row) const;

    // Building. A folder's number is what addFolder returned; `names` is a block of
    // NUL-terminated names that addListed rows point into.
    uint32_t addFolder(std::string text, std::vector<char> names = {});
    // A file whose NUL-terminated name already lies in the folder's name block.
    void addListed(uint32_t folder, const char* nameInBlock, uint64_t bytes);
    // A file whose name is appended to the folder's name block.
    void add(uint32_t folder, std::string_view name, uint64_t bytes);
    void reserve(size_t rows) { rows_.reserve(rows); }

  private:
    // 12 bytes a file: the holding folder is not stored per row but per run of rows in one
    // folder (a folder's files form one run unless subfolders come between them).
    struct Row {
        uint32_t bytesLow;
        uint32_t bytesHigh;
        uint32_t nameAt;  // in the folder's name block
        uint64_t bytes() const { return (uint64_t{bytesHigh} << 32) | bytesLow; }
    };
    struct Run {
        size_t firstRow;
        uint32_t folder;
    };
    struct Folder {
        std::vector<char> names;
        size_t textAt;  // in texts_
        size_t textSize;
    };
    uint32_t folderOf(size_t row) const;
    void push(uint32_t folder, uint32_t nameAt, uint64_t bytes);

    std::vector<Row> rows_;
    std::vector<Run> runs_;
    std::vector<Folder> folders_;
    std::string texts_;  // every folder's text, one after the other
};

// Reported while the bundle is walked, from the walking threads one call at a time, with the
// counts as they stand at that moment; the counts never decrease from one call to the next,
// and the last call gives the final counts. Calls are coalesced per folder listed, never more
// than one per file.
using InventoryProgress = std::function<void(uint64_t dirs, uint64_t files)>;

// The inventory of the bundle at `installPath` (logical, as the catalogue stores it).
//
// - Counts: every folder and every non-folder item below the bundle at any depth, the
//   bundle itself not included; a symbolic link is a file. Items whose type cannot be read
//   count nowhere. The counts are reset to 0 first; totalSize is always set.
// - Rows are appended to `entries` in the order a depth-first walk meets the files (each
//   folder's items in the file system's order, a folder's contents right after it), though
//   the bundle is read with one thread per processor.
// - The request files: the folder list in the running bundle's Contents folder is removed
//   before the walk starts, and written anew (appName, bundleId, installPath, the
//   home folder) only when the total size is not 0. So after every analysis the folder
//   list either names the analysed bundle or does not exist; an empty or vanished bundle
//   can never leave an earlier application's list in force.
void takeInventory(const std::string& installPath, const std::string& appName,
                   const std::string& bundleId, FileTable& entries, uint64_t& folderCount,
                   uint64_t& fileCount, std::optional<uint64_t>& totalSize,
                   const InventoryProgress& progress = {});

// The running application's Contents folder, where the request files live.
std::string requestFilesFolder();

}  // namespace vendrel
