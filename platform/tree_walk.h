// A deep enumeration that reads a folder tree with several threads and hands the result over
// in the order of the one-thread walk (fs::enumerate).
//
// The semantics are those of fs::enumerate: links reported, not followed; packages entered;
// hidden items included; a folder that cannot be opened or read is reported but contributes
// nothing; an item whose own status cannot be read is reported with typeKnown false. The root
// itself is not reported. Unlike fs::enumerate, the visitor cannot steer the walk: the tree is
// read first (in parallel), then visited (on the calling thread).
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/fs.h"

namespace vendrel::platform::fs {

// A folder's item names, each followed by a NUL.
using NameBlock = std::vector<char>;

struct TreeItem {
    // The last component. It points into `*names`, the holding folder's name block: the
    // visitor may move that block away to keep the names without copying them; the views of
    // this and of the folder's later items then stay valid as long as the moved block lives.
    // Otherwise they are valid during the call only.
    std::string_view name;
    NameBlock* names = nullptr;
    FileType type = FileType::Other;
    bool typeKnown = false;
    uint64_t size = 0;    // the entry's own (not followed) size; 0 for folders and unknowns
    uint32_t folder = 0;  // pre-order number of the holding folder; the root is 0
    uint32_t self = 0;    // for a folder (type Directory): its own pre-order number
};

// Called from the walking threads, one call at a time, with the folders and files listed so
// far (items whose type is unknown count in neither); the counts never decrease from one call
// to the next. Not every listed folder causes a call; the last call gives the final counts,
// before the first item is visited.
using TreeProgress = std::function<void(uint64_t folders, uint64_t files)>;

// What the read found, handed over before the first visit so that the visitor can size its
// tables once.
struct TreeTotals {
    uint64_t folders = 0;
    uint64_t files = 0;          // non-folder items whose type is known
    uint64_t fileNameBytes = 0;  // their names' lengths, each plus one
};

// Reads the tree below `logical` with `threads` threads (0: one per processor) and then calls
// `ready` once (when given) and `visit` for each item, in the order fs::enumerate would
// report it. A folder's number is
// given out when the folder is visited, so a TreeItem's `folder` always names a folder
// visited before it (or the root). Folders nested deeper than the descriptor budget are
// reached by path, so a hostile deep tree cannot exhaust descriptors.
void walkTree(std::string_view logical, unsigned threads, const TreeProgress& progress,
              const std::function<void(const TreeTotals&)>& ready,
              const std::function<void(TreeItem&)>& visit);

}  // namespace vendrel::platform::fs
