// What the Step 2 page shows of an application's leftovers outside its bundle: one row per
// finding, checked when it will go with the application. The leftover finder
// (common/leftover_finder.h) fills these through finderLeftovers; without a source the page
// shows that nothing was found outside the bundle.
//
// No Qt here: the finder lives in the logic layer and hands plain values over.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/catalogue/installed_app.h"
#include "common/leftover_finder.h"

namespace vendrel::ui {

struct LeftoverFinding {
    std::string path;      // logical path of the item
    std::string rule;      // which rule matched it ("bundle identifier", "name", ...)
    std::string evidence;  // why it belongs to the application, in words for the user
    uint64_t sizeBytes = 0;
    bool checked = true;         // the user's choice: removed with the application
    leftovers::Finding finding;  // handed back to the removal when checked
};

// Runs on the analysis job's side of the work, off the main thread; must not touch widgets.
using LeftoverSource = std::function<std::vector<LeftoverFinding>(const InstalledApp&)>;

// The leftover finder's findings for the application, every one checked.
std::vector<LeftoverFinding> finderLeftovers(const InstalledApp& app);

}  // namespace vendrel::ui
