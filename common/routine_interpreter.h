// The interpreter of the routine table (common/routine_table.h): runs one routine's steps
// strictly in their order, each step whatever the previous ones did.
//
// Every removal goes through the shared building blocks, so the removal guard and the journal
// see all of it: trash through lib_funs::fun_File_DirRemoveToTrash, force removal through
// lib_funs_AppExtendDelete::forceRemove, patterns through removePattern (which guards each
// match), shell lines through runShellLine. Root-only steps (shell lines, force removals,
// patterns) run only when the mode flag is false; in user mode they are skipped entirely.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/routine_table.h"

namespace vendrel::routines {

// Runs `routine`. `userMode` is the mode flag (true: the application, false: the daemon as
// root). `installPath` is the argument of the routine that stops processes by folder; the
// others ignore it.
void run(const Routine& routine, bool userMode, const std::string& installPath = {});

// A table path as a logical path: "~/..." below the running process's home folder, anything
// else as written. Nullopt when the home folder is not usable (the step is then skipped).
std::optional<std::string> resolve(std::string_view tablePath);

// The shell line a RootShell step runs: each command with its paths as quoted host paths
// ("~" resolved to this process's home, never left to the shell), a pattern's "*" left
// unquoted. A command whose path the guard refuses for removal as root is left out (and
// journalled); so is a chmod or chflags on a symbolic link, which would act on its target.
// `killall` on a volume other than the running system only stops processes whose program
// lies on that volume. Nullopt when no command is left.
std::optional<std::string> renderShellLine(std::string_view line);

}  // namespace vendrel::routines
