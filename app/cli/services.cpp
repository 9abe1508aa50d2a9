#include "app/cli/services.h"

namespace vendrel::cli {

UntrustedAppsHook* untrustedAppsHook() {
    return nullptr;
}

RemovalServices removalServices(Catalogue& catalogue) {
    RemovalServices s;
    s.rebuildCatalogue = [&catalogue] { catalogue.fun_GetInstalledApps(false); };
    return s;
}

void finishOnlineWork() {}

}  // namespace vendrel::cli
