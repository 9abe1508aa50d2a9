#include "app/cli/services.h"

#include "app/catalogue/malware_list.h"
#include "app/daemon_client/daemon_connection.h"
#include "app/online/cloud_report.h"
#include "platform/http.h"

namespace vendrel::cli {

UntrustedAppsHook* untrustedAppsHook() {
    static MalwareList list;
    return &list;
}

RemovalServices removalServices(Catalogue& catalogue) {
    RemovalServices s;
    s.sendDeleteRequest = daemon_client::mpu_SendMsgToDaemonServer_DeleteFoldersFiles;
    s.postUninstall = [](const std::string& name, const std::string& osVersion) {
        CloudReport_funs().fun_Post_Uninstall(name, osVersion, std::nullopt);
    };
    s.rebuildCatalogue = [&catalogue] { catalogue.fun_GetInstalledApps(false); };
    return s;
}

void finishOnlineWork() {
    platform::http::waitForPosts(10.0);
}

}  // namespace vendrel::cli
