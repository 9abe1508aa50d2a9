// The maker's web server: the paths of its five endpoints. The address they hang from is
// platform::http::serverBaseUrl() (a build-time default, VENDREL_SERVER_URL at run time).
#pragma once

#include <string_view>

namespace vendrel::endpoints {

// Removal database files ("<bundle-folder-name>.txt") and the malware list live here.
inline constexpr std::string_view kRemovalDatabaseFolder =
    "/qd_default_update_rw/removal_database/";
inline constexpr std::string_view kMalwareListName = "ml_list.txt";
inline constexpr std::string_view kUpdateInfo = "/qd_default_update_rw/new_info.txt";
inline constexpr std::string_view kUninstallReport = "/ucloudcenter/uninstall.php";
inline constexpr std::string_view kReviews = "/apps_comment/comment/add";

// Downloads of the removal database and the malware list give up after this long.
inline constexpr double kDatabaseTimeoutSeconds = 10.0;

}  // namespace vendrel::endpoints
