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

// One file found inside the bundle. The keys double as the file table's column identifiers.
struct FileEntry {
    std::string name;      // last path component
    std::string sizeText;  // empty for a file of 0 bytes (or a dangling link)
    std::string folder;    // holding folder, with the install path replaced by ".."
};

// The entry's value for a column identifier ("FileName", "FileSize", "FilePath"), or
// nullptr for an unknown identifier.
const std::string* fileEntryValue(const FileEntry& entry, std::string_view columnIdentifier);

// Called once per file (never per folder), after the file has been counted, with the
// counts as they stand at that moment; the counts never decrease from one call to the next.
using InventoryProgress = std::function<void(uint64_t dirs, uint64_t files)>;

// The inventory of the bundle at `installPath` (logical, as the catalogue stores it).
//
// - Counts: every folder and every non-folder item below the bundle at any depth, the
//   bundle itself not included; a symbolic link is a file. Items whose type cannot be read
//   count nowhere. The counts are reset to 0 first; totalSize is always set.
// - Entries are appended to `entries` in the order the walk meets the files.
// - The request files: the folder list in the running bundle's Contents folder is removed
//   before the walk starts, and written anew (appName, bundleId, installPath, the
//   home folder) only when the total size is not 0. So after every analysis the folder
//   list either names the analysed bundle or does not exist; an empty or vanished bundle
//   can never leave an earlier application's list in force.
void takeInventory(const std::string& installPath, const std::string& appName,
                   const std::string& bundleId, std::vector<FileEntry>& entries,
                   uint64_t& folderCount, uint64_t& fileCount, std::optional<uint64_t>& totalSize,
                   const InventoryProgress& progress = {});

// The running application's Contents folder, where the request files live.
std::string requestFilesFolder();

}  // namespace vendrel
