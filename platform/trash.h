// The Trash of the account the process runs as: homeDirectory() + "/.Trash" (root:
// "/private/var/root/.Trash"). Items are moved by rename, with a clash-free name, and a
// copy-then-remove fallback across devices. Links are moved as links; their targets are
// never touched. Each move leaves a put-back record (original place, time) beside the
// Trash so that the item can be restored.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel::platform::trash {

struct Record {
    std::string originalPath;  // logical
    std::string trashedPath;   // logical, inside the Trash folder
    std::chrono::system_clock::time_point when;
};

struct MoveResult {
    bool moved = false;
    std::string trashedPath;  // logical, when moved
    std::string error;        // why not, when !moved
};

std::string trashFolder();  // logical
// Moves the item (a missing item gives moved=false, error "missing").
MoveResult moveToTrash(std::string_view logicalPath);

// Records in one Trash folder, oldest first. Defaults to this account's Trash. Anyone who can
// write the Trash can write its records: a record counts only when its item lies directly in
// that Trash folder and both of its paths are plain absolute paths (no "." or "..").
std::vector<Record> records(std::string_view trashFolderLogical = {});
// Moves a trashed item back. Never overwrites: fails when something exists at the original
// place. The item must lie directly in a ".Trash" folder; the missing parents of the original
// place are created only below folders opened without following a link. Which places a user
// may restore to is the caller's rule. On success the record is dropped.
MoveResult putBack(const Record& record);

}  // namespace vendrel::platform::trash
