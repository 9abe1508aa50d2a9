#include "app/cli/cli.h"

#include <cstdlib>
#include <iostream>

#include "app/cli/commands.h"
#include "platform/system.h"

namespace vendrel::cli {
namespace {

// A missing or unreadable volume root would make every scan come back empty and every
// removal do nothing: say so instead of printing an empty catalogue.
bool checkVolumeRoot() {
    if (auto problem = platform::volumeRootProblem()) {
        std::cerr << "Vendrel: " << *problem << '\n';
        return false;
    }
    return true;
}

}  // namespace

int run(int argc, char** argv) {
    CLI::App app{"Vendrel: removes macOS applications with everything they left behind"};
    app.require_subcommand(0, 1);
    app.failure_message(CLI::FailureMessage::help);  // a usage error shows the usage
    Outcome outcome;
    addListCommand(app, outcome);
    addAnalyzeCommand(app, outcome);
    addRemoveCommand(app, outcome);
    addRestoreCommand(app, outcome);
    addSweepCommand(app, outcome);
    addDaemonStatusCommand(app, outcome);
    addInstallHelperCommand(app, outcome);
    addDaemonSendCommand(app, outcome);
    addCheckUpdateCommand(app, outcome);

    // A command needs a readable volume; help and usage errors do not.
    if (argc > 1 && argv[1][0] != '-' && !checkVolumeRoot())
        return 2;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    if (app.get_subcommands().empty()) {
        // The desktop application is not part of this build yet.
        std::cout << app.help();
        return 0;
    }
    return outcome.exitCode;
}

}  // namespace vendrel::cli
