#include "app/cli/services.h"

#include "app/daemon_client/daemon_connection.h"

namespace vendrel::cli {

UntrustedAppsHook* untrustedAppsHook() {
    return nullptr;
}

RemovalServices removalServices(Catalogue& catalogue) {
    RemovalServices s;
    s.sendDeleteRequest = daemon_client::mpu_SendMsgToDaemonServer_DeleteFoldersFiles;
    s.rebuildCatalogue = [&catalogue] { catalogue.fun_GetInstalledApps(false); };
    return s;
}

void finishOnlineWork() {}

}  // namespace vendrel::cli
