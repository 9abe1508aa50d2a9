// The leftover finder: what an application left in the places the extended delete engine
// does not sweep (or sweeps only for "com." identifiers), found with the matching rules of
// common/leftover_match.h and shown to the user before anything is removed.
//
// Each finding carries its evidence: the rule that matched and what it matched on, so that
// the user (and a test) can see why an item is said to belong to the application. Nothing
// here removes anything; removeFindings() does, and only what it is handed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/leftover_match.h"

namespace vendrel::leftovers {

enum class Rule {
    Identifier,      // the entry's name carries the bundle identifier
    Name,            // the entry is named after the application
    VendorFolder,    // named after the application inside a vendor's folder ("Google/Chrome")
    TeamIdentifier,  // a container named by the developer's team identifier
    ProgramPath,     // a launchd job whose program lies in the bundle, a support folder or a
                     // helper tool of the application
};
std::string_view toString(Rule rule);

struct Finding {
    std::string path;      // logical
    std::string location;  // the folder it was found in ("~/Library/Caches", "/Library/...")
    Rule rule;
    std::string evidence;  // what the rule matched on: identifier, name, team, program path
    std::optional<uint64_t> size;
    bool system = false;  // outside the user's home: removed as root
};

// Everything of `ownership.removed()` that the places listed in leftover_finder.cpp hold,
// minus what another installed application claims. Sorted by path, no duplicates; an item
// inside another finding is not listed on its own.
std::vector<Finding> findLeftovers(const Ownership& ownership);

// Sum of the findings' sizes.
uint64_t totalSize(const std::vector<Finding>& findings);

// Where a removed finding went.
struct RemovedFinding {
    std::string path;
    std::string destination;  // "user's Trash", "root's Trash", "deleted", or "left: <why>"
    std::string trashedPath;  // inside the Trash, when it went there
};

// Moves each user finding (and, when running as root, each system finding) to the running
// account's Trash. Findings already gone (the engine took them) are reported as such.
// System findings in user mode are left for the daemon and reported so.
std::vector<RemovedFinding> removeFindings(const std::vector<Finding>& findings, bool asRoot);

}  // namespace vendrel::leftovers
