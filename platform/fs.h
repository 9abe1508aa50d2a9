// File manager semantics the toolkit relies on. All paths are logical (see paths.h).
//
// - fileExists follows a final symbolic link: a dangling link counts as missing.
// - attributesOfItem does not follow a final link: a link reports its own size.
// - contentsOfDirectory is shallow, includes hidden entries, excludes "." and "..", keeps
//   the file system's order, and gives nothing for a missing or unreadable folder or a file.
// - enumerate walks depth-first, reports links without following them, enters packages,
//   skips what it cannot read and goes on.
// - removeItem never follows a link: a link is removed as a link.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel::platform::fs {

enum class FileType { Regular, Directory, SymbolicLink, Other };

struct Attributes {
    FileType type = FileType::Other;
    uint64_t size = 0;  // logical size of the entry itself (a link's own size)
    std::chrono::system_clock::time_point modificationDate;
    uint32_t mode = 0;
    uint32_t uid = 0;
};

bool fileExists(std::string_view logical);
bool isDirectory(std::string_view logical);  // follows a final link, like fileExists
bool isSymbolicLink(std::string_view logical);
// The first parent folder of `logical`, from the volume root down, that is a symbolic link;
// nullopt when there is none. The walk ends at the first parent that is missing or not a
// folder: nothing below it exists to be reached through a link.
std::optional<std::string> linkAmongParents(std::string_view logical);
// A regular file reachable under more than one name: changing its mode would change it under
// every name, including names outside the folder being removed.
bool hasOtherHardLinks(std::string_view logical);
std::optional<Attributes> attributesOfItem(std::string_view logical);
std::vector<std::string> contentsOfDirectory(std::string_view logical);

struct WalkEntry {
    std::string path;  // logical path of the item
    FileType type = FileType::Other;
    bool typeKnown = false;  // false when the entry's own status could not be read
    uint64_t size = 0;       // lstat size; 0 when !typeKnown
};
enum class WalkControl { Continue, SkipDescendants, Stop };
// Deep enumeration below `logical` (the root itself is not reported). The callback may move
// or remove the folder it was just given; the walk then skips it like any unreadable folder.
void enumerate(std::string_view logical, const std::function<WalkControl(const WalkEntry&)>& visit);

// Recursive removal that never follows links. True when nothing is left at the path.
//
// Every parent folder is opened from the volume root one component at a time without
// following a link, and the item is removed relative to the opened parent (its contents
// relative to each opened sub-folder): a link swapped in anywhere between a caller's check
// and this act makes the removal fail instead of reaching outside the volume or the folder.
bool removeItem(std::string_view logical);
// removeItem, after giving the item itself mode 0777 through a descriptor opened without
// following links: a folder, or a regular file with no other hard link (its mode would change
// under its other names too). A link at the path is removed as a link, its target untouched.
bool forceRemoveItem(std::string_view logical);
// Refuses (false) a path with a "." or ".." component: it could lead out of the volume.
bool createDirectories(std::string_view logical);
// The same without following a link at any level: each existing folder is opened with
// O_NOFOLLOW before anything is created inside it, so a linked folder fails the call before
// it creates anything (for paths that come from files a user may write).
bool createDirectoriesNoFollow(std::string_view logical);
std::optional<std::string> readFile(std::string_view logical, uint64_t maxBytes);
// Writes through a temporary file in the same folder and renames it into place.
bool writeFileAtomically(std::string_view logical, std::string_view bytes);

}  // namespace vendrel::platform::fs
