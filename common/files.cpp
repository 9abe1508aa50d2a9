// Measuring and formatting sizes and dates, deleting, moving to the Trash.
//
// The walk-based measures sit under the analysis of large bundles (Xcode-sized trees with
// hundreds of thousands of entries), so they take the type and the lstat size straight from
// the enumeration and never stat an item a second time, except a symbolic link: the size of
// an item counts only when the item exists, and for a link that means its target exists.
#include <cinttypes>
#include <cstdio>

#include "common/files.h"
#include "common/guard.h"
#include "common/journal.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/system.h"
#include "platform/trash.h"

namespace vendrel {
namespace fs = platform::fs;

namespace {

// files::fileSize of an item the enumeration reported: its own size when it exists,
// which for a link means the link's own size when its target exists and 0 when it dangles.
uint64_t walkedItemSize(const fs::WalkEntry& entry) {
    if (entry.type == fs::FileType::SymbolicLink && !fs::fileExists(entry.path))
        return 0;
    return entry.size;
}

// Visits every item below `path` whose type could be read (the path itself excluded).
template <typename Visit>
void walkKnownItems(const std::string& path, Visit visit) {
    fs::enumerate(path, [&](const fs::WalkEntry& entry) {
        if (entry.typeKnown)
            visit(entry);
        return fs::WalkControl::Continue;
    });
}

// The guard check shared by both removing operations: true when the path may be acted on.
bool passesGuard(const std::string& path) {
    if (auto why = guard::refusal(path)) {
        journalRecord(JournalAction::RefusedByGuard, path, *why);
        return false;
    }
    return true;
}

}  // namespace

std::string files::dateText(std::chrono::system_clock::time_point date) {
    return platform::formatLocalDateTime(date);
}

std::string files::sizeText(std::optional<uint64_t> bytes) {
    constexpr uint64_t kKB = 1024, kMB = kKB * 1024, kGB = kMB * 1024;
    const uint64_t n = bytes.value_or(0);
    char text[64];
    // The unit is chosen on the exact count; rounding to two decimals may then show 1024.00
    // of the smaller unit, never a jump into the next one.
    if (n >= kGB)
        std::snprintf(text, sizeof text, "%.2f GB",
                      static_cast<double>(n) / static_cast<double>(kGB));
    else if (n >= kMB)
        std::snprintf(text, sizeof text, "%.2f MB",
                      static_cast<double>(n) / static_cast<double>(kMB));
    else if (n >= kKB)
        std::snprintf(text, sizeof text, "%.2f KB",
                      static_cast<double>(n) / static_cast<double>(kKB));
    else
        std::snprintf(text, sizeof text, "%" PRIu64 " Bytes", n);
    return text;
}

std::optional<uint64_t> files::fileSize(const std::string& path) {
    if (!fs::fileExists(path))
        return std::nullopt;
    auto attributes = fs::attributesOfItem(path);
    return attributes ? attributes->size : 0;
}

std::string files::fileSizeText(const std::string& path) {
    const uint64_t n = files::fileSize(path).value_or(0);
    return n == 0 ? std::string() : files::sizeText(n);
}

std::optional<uint64_t> files::folderSize(const std::string& path) {
    uint64_t total = 0;
    walkKnownItems(path, [&](const fs::WalkEntry& entry) {
        if (entry.type != fs::FileType::Directory)
            total += walkedItemSize(entry);
    });
    return total;
}

bool files::countContents(const std::string& path, uint64_t& folders, uint64_t& files,
                          std::optional<uint64_t>& size) {
    files = 0;
    folders = 0;
    uint64_t total = 0;
    walkKnownItems(path, [&](const fs::WalkEntry& entry) {
        if (entry.type == fs::FileType::Directory) {
            ++folders;
        } else {
            ++files;
            total += walkedItemSize(entry);
        }
    });
    size = total;
    return true;
}

void files::deleteItem(const std::string& path) {
    // The existence test follows a final link, so a dangling link is left in place.
    if (!fs::fileExists(path) || !passesGuard(path))
        return;
    // Journalled as a forced removal (it does not go through the Trash) once it is done, or
    // in a dry run instead of being done; a removal that fails is not reported.
    if (!journalDryRun() && !fs::removeItem(path))
        return;
    journalRecord(JournalAction::ForceRemoved, path);
}

namespace {
thread_local files::TrashedItems* t_trashedItems = nullptr;
}  // namespace

files::TrashedItems::TrashedItems() : previous_(t_trashedItems) {
    t_trashedItems = this;
}

files::TrashedItems::~TrashedItems() {
    t_trashedItems = previous_;
}

void files::moveToTrash(const std::string& path) {
    if (!fs::fileExists(path) || !passesGuard(path))
        return;
    if (journalDryRun()) {
        journalRecord(JournalAction::MovedToTrash, path);
        return;
    }
    auto result = platform::trash::moveToTrash(path);
    if (result.moved) {
        if (t_trashedItems)
            t_trashedItems->add(result.trashedPath);
        journalRecord(JournalAction::MovedToTrash, path, result.trashedPath);
    } else
        journalRecord(JournalAction::TrashFailed, path, result.error);
}

bool files::isLinkOrAlias(const std::string& path) {
    // A link counts whether or not its target exists; only then is the file itself read.
    return platform::fs::isSymbolicLink(path) || platform::isAliasFile(path);
}

}  // namespace vendrel
