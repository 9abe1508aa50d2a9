// Placeholder until the removal database client lands: no command list is ever fetched.
// Delete this file when app/analysis/removal_database.cpp exists.
#include "app/analysis/removal_database.h"
#include "common/request_files.h"
#include "platform/paths.h"

namespace vendrel {

void mpr_pro_GCD_DownloadAppRemovalCml(const std::string&) {
    request_files::removeCommandList(platform::runningBundlePath() + "/Contents");
}

}  // namespace vendrel
