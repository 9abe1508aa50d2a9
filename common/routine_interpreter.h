// The interpreter of the routine table (common/routine_table.h): runs one routine's steps
// strictly in their order, each step whatever the previous ones did.
//
// Every removal goes through the shared primitives, so the removal guard and the journal see
// all of it: trash through files::moveToTrash, force removal through forceRemove, patterns
// through removePattern (which guards each match), shell lines through runShellLine
// (common/force_removal.h). Root-only steps (shell lines, force removals, patterns) run in
// root mode alone; in user mode they are skipped entirely.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/mode.h"
#include "common/routine_table.h"

namespace vendrel::routines {

// Runs `routine` in `mode`; a routine whose argument is not the mode runs as in user mode.
// `installPath` goes to the routine that stops processes by folder; the others ignore it.
void run(const Routine& routine, Mode mode, const std::string& installPath = {});

// A table path as a logical path: "~/..." below the running process's home folder, anything
// else as written. Nullopt when the home folder is not usable (the step is then skipped).
std::optional<std::string> resolve(std::string_view tablePath);

// What a RootShell step runs, in the order of its commands. Runs of commands other than
// killall become one /bin/bash -c line each, with every path a quoted host path ("~"
// resolved to this process's home, never left to the shell) and a pattern's "*" left
// unquoted. A killall becomes a stop of the processes of that program name on the volume
// (platform::killAllNamed): a shell killall would also end the programs of the machine the
// volume is mounted on. A command whose path the guard refuses for removal as root is left
// out (and journalled), and so is a chmod or chflags on a symbolic link, which would act on
// the link's target. Empty when no command is left.
struct ShellPiece {
    bool killall = false;
    std::string text;  // killall: the program name; otherwise the bash line
    bool operator==(const ShellPiece&) const = default;
};
std::vector<ShellPiece> renderShellLine(std::string_view line);

}  // namespace vendrel::routines
