#include "app/cli/services.h"

#include <algorithm>
#include <iostream>

#include "app/daemon_client/daemon_connection.h"
#include "app/online/cloud_report.h"
#include "platform/http.h"

namespace vendrel::cli {

RemovalServices removalServices(Catalogue& catalogue) {
    RemovalServices s;
    s.sendDeleteRequest = daemon_client::sendRemovalRequest;
    s.postUninstall = [](const std::string& name, const std::string& osVersion) {
        CloudReport().postUninstall(name, osVersion, std::nullopt);
    };
    s.rebuildCatalogue = [&catalogue] { catalogue.rebuild(false); };
    return s;
}

void finishOnlineWork(std::chrono::steady_clock::time_point commandStart) {
    // Through a pipe or into a file the results would otherwise sit in the buffer until
    // exit, behind the wait.
    std::cout.flush();
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - commandStart;
    platform::http::waitForPosts(
        std::max(0.0, platform::http::kPostTimeoutSeconds - spent.count()));
    // This wait was the whole budget: exit adds no grace period of its own.
    platform::http::setExitGraceSeconds(0);
}

}  // namespace vendrel::cli
