// The removal database client: fetches the per-application removal command list from the
// maker's web server and stores it as Delete_Cml.txt (common/request_files.h).
#pragma once

#include <string>

#include "app/online/endpoints.h"

namespace vendrel {

// Synchronous: returns after the fetch has finished, failed or run out of time (10 seconds
// unless the caller says otherwise), with the command list file in the running bundle's
// Contents folder either written for this application or absent.
void downloadRemovalCommandList(const std::string& installPath,
                                double timeoutSeconds = endpoints::kDatabaseTimeoutSeconds);

}  // namespace vendrel
