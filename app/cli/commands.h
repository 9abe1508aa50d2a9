// One function per command adds the command to the parser. Each lives in its own file
// (cmd_<name>.cpp) and returns the exit code through the callback it installs.
#pragma once

#include <CLI/CLI.hpp>

namespace vendrel::cli {

// Set by a command's callback; the front end returns it as the exit code.
struct Outcome {
    int exitCode = 0;
};

void addListCommand(CLI::App& app, Outcome& outcome);
void addAnalyzeCommand(CLI::App& app, Outcome& outcome);
void addRemoveCommand(CLI::App& app, Outcome& outcome);
void addRestoreCommand(CLI::App& app, Outcome& outcome);
void addSweepCommand(CLI::App& app, Outcome& outcome);
void addDaemonStatusCommand(CLI::App& app, Outcome& outcome);
void addInstallHelperCommand(CLI::App& app, Outcome& outcome);
void addDaemonSendCommand(CLI::App& app, Outcome& outcome);
void addCheckUpdateCommand(CLI::App& app, Outcome& outcome);

}  // namespace vendrel::cli
