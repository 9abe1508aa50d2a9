// The downloaded removal command list as data, for the root daemon.
//
// The list arrives as shell-like text from the maker's server, through a request file a user
// may be able to write; nothing in it is trusted and none of it reaches a shell. Each line is
// parsed into one command of a closed set, the forms removal lists use:
//     rm [-r|-f|-rf|-fr|-R|-Rf ...] PATH...       (without r: files only)
//     launchctl unload [-w] JOBFILE
//     launchctl remove LABEL
//     launchctl bootout system/LABEL | gui/UID/LABEL | system JOBFILE
//     killall [-9] NAME                           (processes on the volume only)
//     pkgutil --forget IDENTIFIER                 (its receipt files)
// Words are separated by blanks; a word may be quoted with '...' or "..." or have a blank
// escaped with a backslash, and nothing is expanded but a leading "~" (unquoted), which
// becomes the requesting user's home. A line holding anything a shell would treat as more
// than words (";", "&", "|", "`", "$", "(", ")", "<", ">", a control character, an
// unterminated quote) or another command is refused as a whole; blank lines and "#" comments
// are skipped. A ";" outside quotes ends a line like a line feed (the application stores the
// downloaded list with ";" for each line feed).
//
// Every path must be absolute and logical, without empty, "." or ".." components, with a
// wildcard ("*", "?") only in its last component, inside a place a removal may touch (the
// home, "/Applications", "/Library", "/Users/Shared", "/private/var/db/receipts",
// "/private/tmp", "/private/var/folders", "/usr/local"), never in another user's home, and
// must pass the guard for root removals (no protected folder, no link among its parents).
// A wildcard is expanded here and every match is checked the same way. What passes is moved
// to root's Trash by descriptor, as the sweep's items are, so an administrator can put it
// back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel::command_list {

enum class Kind { Remove, LaunchctlUnload, LaunchctlRemove, Killall, PkgutilForget };

struct Command {
    Kind kind = Kind::Remove;
    std::string line;               // as written, for the journal and the log
    bool recursive = false;         // rm: -r given
    std::vector<std::string> args;  // Remove: logical paths ("~" replaced); else one operand
};

struct Refusal {
    std::string line;
    std::string why;
};

struct Parsed {
    std::vector<Command> commands;
    std::vector<Refusal> refused;
};

// Parses the list for the user whose home is `home` (a logical path). Lines that are not one
// of the commands above, or name a path that pathRefusal refuses, land in `refused`.
Parsed parse(std::string_view text, std::string_view home);

// Why a command list may not remove `logicalPath` for the user of `home`, or nullopt.
std::optional<std::string> pathRefusal(std::string_view logicalPath, std::string_view home);

// Parses and carries out the list: each refused line is journalled and logged ("Command list:
// refused line ..."), each command journalled and, unless the journal is a dry run, done.
void run(std::string_view text, std::string_view home);

}  // namespace vendrel::command_list
