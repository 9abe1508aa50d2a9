// The removal flow's location check (isSafeToRemove):
// where a bundle may lie for the system to remove it. Shared by the application, which
// checks before it starts a removal, and the daemon, which checks again before it acts as
// root on what a request file names.
//
// With the path split into components ("/" first) and n of them: false for n < 3; true when
// the parent folder's name (component n-2) equals "Applications", else when the grandparent's
// (n-3) equals "Applications", else when the parent's equals "Desktop" or "PreferencePanes";
// false otherwise. "Equals" is the compare with options 65.
#pragma once

#include <string_view>

namespace vendrel::removal_location {

bool isCanSafeDeletePath(std::string_view path);

}  // namespace vendrel::removal_location
