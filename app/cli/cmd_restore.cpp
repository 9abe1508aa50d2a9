// `Vendrel restore [--last | <name>]`: puts back what a removal moved to the user's Trash.
#include <iostream>
#include <memory>
#include <string>

#include "app/cli/commands.h"
#include "app/cli/printable.h"
#include "app/removal/removal_history.h"
#include "platform/strings.h"

namespace vendrel::cli {
namespace {

struct RestoreOptions {
    bool last = false;
    std::string name;
};

int restore(const RestoreOptions& opt) {
    const auto removals = removal_history::load();
    // The newest removal (of that name, compared as names are everywhere).
    size_t pick = removals.size();
    for (size_t i = removals.size(); i-- > 0;) {
        if (opt.name.empty() || platform::equals65(removals[i].appName, opt.name)) {
            pick = i;
            break;
        }
    }
    if (pick == removals.size()) {
        std::cerr << "Vendrel: "
                  << (opt.name.empty() ? std::string("no removal to restore")
                                       : "no removal of \"" + printable(opt.name) + "\" to restore")
                  << '\n';
        return 2;
    }
    const auto& removal = removals[pick];
    const auto until =
        pick + 1 < removals.size() ? removals[pick + 1].started : std::chrono::system_clock::now();
    const auto report = removal_history::restore(removal, until);

    std::cout << "Restoring " << printable(removal.appName) << " ("
              << printable(removal.installPath) << ")\n";
    for (const auto& item : report.restored)
        std::cout << "  put back: " << printable(item.originalPath) << '\n';
    for (const auto& [item, why] : report.notRestored)
        std::cout << "  not put back: " << printable(item.originalPath) << " (" << printable(why)
                  << ")\n";
    if (!report.inRootTrash.empty()) {
        std::cout << "Moved by the daemon, in root's Trash (restore them as an administrator):\n";
        for (const auto& r : report.inRootTrash)
            std::cout << "  " << printable(r.originalPath) << " is at " << printable(r.trashedPath)
                      << '\n';
    }
    return report.notRestored.empty() ? 0 : 1;
}

}  // namespace

void addRestoreCommand(CLI::App& app, Outcome& outcome) {
    auto opt = std::make_shared<RestoreOptions>();
    auto* cmd = app.add_subcommand("restore", "Put back what a removal moved to the Trash");
    auto* last = cmd->add_flag("--last", opt->last, "The last removal (the default)");
    cmd->add_option("app", opt->name, "The newest removal of this application")->excludes(last);
    cmd->callback([opt, &outcome] { outcome.exitCode = restore(*opt); });
}

}  // namespace vendrel::cli
