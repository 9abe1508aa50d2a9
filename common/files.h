// Measures, formats and removals of single items, shared by the application and the daemon.
//
// Contracts common to every operation:
// - Paths are logical absolute paths (platform/paths.h); nothing here expands "~".
// - No operation reports failure: a missing path, an unreadable item or a refused move ends
//   the operation quietly.
// - Removing a leftover means moving it to the Trash through moveToTrash, which passes every
//   path through the removal guard (common/guard.h) and reports what it did to the current
//   removal journal (common/journal.h).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vendrel::files {

// Collects, on this thread and for the scope's life, where moveToTrash put each item (the
// logical path inside the Trash), so that a removal can later purge exactly its own items
// and nothing that was in the Trash before. Scopes nest; each sees only its own moves.
class TrashedItems {
  public:
    TrashedItems();
    ~TrashedItems();
    TrashedItems(const TrashedItems&) = delete;
    TrashedItems& operator=(const TrashedItems&) = delete;
    const std::vector<std::string>& trashedPaths() const { return paths_; }
    void add(std::string trashedPath) { paths_.push_back(std::move(trashedPath)); }

  private:
    TrashedItems* previous_;
    std::vector<std::string> paths_;
};

// "yyyy-MM-dd HH:mm:ss" in local time.
std::string dateText(std::chrono::system_clock::time_point date);
// A size as the user sees it ("12.3 MB"); "N/A" when absent.
std::string sizeText(std::optional<uint64_t> bytes);
std::optional<uint64_t> fileSize(const std::string& path);
std::string fileSizeText(const std::string& path);
std::optional<uint64_t> folderSize(const std::string& path);
// Counts folders and files below `path` and adds up their sizes; false when it is unreadable.
bool countContents(const std::string& path, uint64_t& folders, uint64_t& files,
                   std::optional<uint64_t>& size);
void deleteItem(const std::string& path);
void moveToTrash(const std::string& path);
// A symbolic link (whether or not its target exists) or a Finder alias file.
bool isLinkOrAlias(const std::string& path);

}  // namespace vendrel::files
