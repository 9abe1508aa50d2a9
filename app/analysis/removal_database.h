// The removal database client: fetches the per-application removal command list from the
// maker's web server and stores it as Delete_Cml.txt (common/request_files.h).
#pragma once

#include <string>

namespace vendrel {

// Synchronous: returns after the fetch has finished or failed, with the command list file in
// the running bundle's Contents folder either written for this application or absent.
void downloadRemovalCommandList(const std::string& installPath);

}  // namespace vendrel
