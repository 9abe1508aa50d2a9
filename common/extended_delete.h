// The extended delete engine: finishes the removal of one application in user mode (the
// application) or root mode (the daemon): the per-product routines the dispatch table
// selects, root-mode force removal, the generic sweep of the library locations, and the
// removal command list.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/mode.h"

namespace vendrel::extended_delete {

// Removes what the application at `installPath` left behind. `appName` and `bundleId` come
// from its Info.plist and are untrusted; `commandList` is the downloaded removal command list
// (root mode only).
void run(const std::string& installPath, const std::string& appName, const std::string& bundleId,
         const std::optional<std::string>& commandList, Mode mode);
// The product's own removal: stops Vendrel, trashes its bundle, support folders, daemon and
// job, and ends the daemon.
void removeSelf();
// Empties root's Trash entirely. The engine no longer does this: a root-mode run purges only
// the items it moved there itself.
void emptyRootTrash();

// The routine names the dispatch table selects for a bundle's file name, in the order they
// run ("self-removal" for the product's own bundle). Empty when no entry matches.
std::vector<std::string> dispatchFor(const std::string& bundleFileName);

}  // namespace vendrel::extended_delete
