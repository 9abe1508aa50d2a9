// `Vendrel check-update`: asks the maker's server for the published version, as the desktop
// application does at every start, and says whether the notice would be shown.
//
// Exit codes: 0 when the check was made (whatever its outcome), 1 when it could not be made
// (no version in the running bundle, or no readable update information from the server).
#include <iostream>

#include "app/cli/commands.h"
#include "app/cli/printable.h"
#include "app/online/endpoints.h"
#include "app/online/update_check.h"
#include "platform/http.h"
#include "platform/paths.h"

namespace vendrel::cli {
namespace {

int checkUpdate() {
    UpdateCheck::fetchNewInfo();
    const bool notice = UpdateCheck::isUpdateAvailable();
    const auto running = UpdateCheck::runningVersion();
    if (!running) {
        std::cerr << "Vendrel: the running bundle " << printable(platform::runningBundlePath())
                  << " has no version (CFBundleShortVersionString)\n";
        return 1;
    }
    const auto published = UpdateCheck::publishedVersion();
    if (!published) {
        std::cerr << "Vendrel: no update information could be read from "
                  << printable(platform::http::serverUrl(endpoints::kUpdateInfo)) << '\n';
        return 1;
    }
    if (notice) {
        std::cout << kUpdateNotice << '\n'
                  << "Running version " << printable(*running) << ", published version "
                  << printable(*published) << ".\n";
    } else {
        std::cout << "Vendrel " << printable(*running) << " is up to date.\n";
    }
    return 0;
}

}  // namespace

void addCheckUpdateCommand(CLI::App& app, Outcome& outcome) {
    auto* cmd = app.add_subcommand("check-update", "Tell whether a newer version is published");
    cmd->callback([&outcome] { outcome.exitCode = checkUpdate(); });
}

}  // namespace vendrel::cli
