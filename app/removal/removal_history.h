// What each removal put into the user's Trash, so that it can be put back.
//
// After a removal the application writes one record into
// "~/Library/Application Support/Vendrel/Removals/" (a property list per removal, named by
// its start time): the application's name and install path, when the removal started and
// ended, and every item the application itself moved to the Trash with where it went. The
// daemon's moves land in root's Trash, which keeps its own put-back records; a restore lists
// those of the removal's time span with where they are.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "common/journal.h"
#include "platform/trash.h"

namespace vendrel::removal_history {

struct Item {
    std::string originalPath;
    std::string trashedPath;
};

struct Removal {
    std::string appName;
    std::string installPath;
    std::chrono::system_clock::time_point started;
    std::chrono::system_clock::time_point ended;
    std::vector<Item> items;
};

// The items of a journal that were moved to the Trash (not those of a dry run).
std::vector<Item> trashedItems(const Journal& journal);

bool save(const Removal& removal);
// Oldest first.
std::vector<Removal> load();

struct RestoreReport {
    std::vector<Item> restored;
    std::vector<std::pair<Item, std::string>> notRestored;  // with why
    std::vector<platform::trash::Record> inRootTrash;       // moved by the daemon
};

// Puts back every item of `removal` that is still in the user's Trash; never overwrites.
// `until` bounds the time span searched in root's Trash (the next removal's start, or now).
RestoreReport restore(const Removal& removal, std::chrono::system_clock::time_point until);

}  // namespace vendrel::removal_history
