// lib_funs: measuring and formatting sizes and dates, deleting, moving to the Trash.
//
// The walk-based measures sit under the analysis of large bundles (Xcode-sized trees with
// hundreds of thousands of entries), so they take the type and the lstat size straight from
// the enumeration and never stat an item a second time, except a symbolic link: the size of
// an item counts only when the item exists, and for a link that means its target exists.
#include <cinttypes>
#include <cstdio>

#include "common/guard.h"
#include "common/journal.h"
#include "common/lib_funs.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/trash.h"

namespace vendrel {
namespace fs = platform::fs;

namespace {

// fun_File_GetFileSize of an item the enumeration reported: its own size when it exists,
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

std::string lib_funs::fun_Date_dateToStr(std::chrono::system_clock::time_point date) {
    return platform::formatLocalDateTime(date);
}

std::string lib_funs::fun_File_SizeToStr(std::optional<uint64_t> bytes) {
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

std::optional<uint64_t> lib_funs::fun_File_GetFileSize(const std::string& path) {
    if (!fs::fileExists(path))
        return std::nullopt;
    auto attributes = fs::attributesOfItem(path);
    return attributes ? attributes->size : 0;
}

std::string lib_funs::fun_File_GetFileSizeToStr(const std::string& path) {
    const uint64_t n = fun_File_GetFileSize(path).value_or(0);
    return n == 0 ? std::string() : fun_File_SizeToStr(n);
}

std::optional<uint64_t> lib_funs::fun_File_GetDirSize(const std::string& path) {
    uint64_t total = 0;
    walkKnownItems(path, [&](const fs::WalkEntry& entry) {
        if (entry.type != fs::FileType::Directory)
            total += walkedItemSize(entry);
    });
    return total;
}

bool lib_funs::fun_File_GetSubDirsAndFilesNum(const std::string& path, uint64_t& Num_Dirs,
                                              uint64_t& Num_Files,
                                              std::optional<uint64_t>& Num_Size) {
    Num_Files = 0;
    Num_Dirs = 0;
    uint64_t total = 0;
    walkKnownItems(path, [&](const fs::WalkEntry& entry) {
        if (entry.type == fs::FileType::Directory) {
            ++Num_Dirs;
        } else {
            ++Num_Files;
            total += walkedItemSize(entry);
        }
    });
    Num_Size = total;
    return true;
}

void lib_funs::fun_File_Delete(const std::string& path) {
    // The existence test follows a final link, so a dangling link is left in place.
    if (!fs::fileExists(path) || !passesGuard(path))
        return;
    if (!journalDryRun() && !fs::removeItem(path))
        return;
    journalRecord(JournalAction::ForceRemoved, path);
}

void lib_funs::fun_File_DirRemoveToTrash(const std::string& path) {
    if (!fs::fileExists(path) || !passesGuard(path))
        return;
    if (journalDryRun()) {
        journalRecord(JournalAction::MovedToTrash, path);
        return;
    }
    auto result = platform::trash::moveToTrash(path);
    if (result.moved)
        journalRecord(JournalAction::MovedToTrash, path, result.trashedPath);
    else
        journalRecord(JournalAction::TrashFailed, path, result.error);
}

}  // namespace vendrel
