#include "app/cli/commands.h"

namespace vendrel::cli {

void addListCommand(CLI::App& app, Outcome& outcome) {
    auto* cmd = app.add_subcommand("list", "List the installed applications and preference panes");
    cmd->callback([&outcome] { outcome.exitCode = 0; });
}

}  // namespace vendrel::cli
