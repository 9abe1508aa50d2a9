// The removal primitives beneath both the extended delete engine and the routine
// interpreter: force removal as root, patterns, fixed shell lines, and shell quoting. Each
// goes through the removal guard (common/guard.h) and reports to the removal journal
// (common/journal.h); in a dry run each is journalled and nothing is done.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vendrel {

// Force removal of one logical path, journalled as the shell line chmod 777 'P';rm -rf 'P'
// (host path, quoted) and done by descriptor (platform::fs::forceRemoveItem): no link among
// the parents, or swapped in while it runs, can lead it elsewhere. Refused (and journalled) when
// the guard refuses the path or a parent folder is a symbolic link; a link at P itself is removed
// as a link, without chmod, and a regular file with other hard links loses only this name (no
// chmod). A "*" in the argument is an ordinary character: a bundle may be named "*.app".
void forceRemove(const std::string& logicalPath);
// The force removal of every entry that a pattern's last component ("*" and "?", as the
// shell reads them) matches in its folder, each as forceRemove does it.
void forceRemovePattern(const std::string& logicalPattern);
// rm with "-f" (files only) or "-rf" on a pattern whose last component holds the wildcard,
// expanded here; each match passes the guard on its own and is removed by descriptor.
void removePattern(const std::string& flags, const std::string& logicalPattern);
// The paths a pattern names: the entries of its folder that its last component ("*" and
// "?", neither matching a leading ".") matches. Nullopt (journalled) when the wildcard is
// not confined to the last component. The matches have not passed the guard yet.
std::optional<std::vector<std::string>> patternMatches(const std::string& logicalPattern);
// Runs one fixed root-only shell line through /bin/bash -c, waited for (journalled).
void runShellLine(const std::string& line);
// rm -f on one file (not a folder), through the guard, by descriptor.
void removeFile(const std::string& logicalPath);
// rm -rf, by descriptor, of a folder that the guard protects from ordinary removals (root's
// Trash), after checking that no parent is a symbolic link.
void removeProtectedFolder(const std::string& logicalPath);

// Quotes a string for a POSIX shell so that it names exactly itself: single quotes, with
// every ' written as '\''. Safe for quotes, "$", backticks, spaces, newlines; a leading "-"
// is the caller's concern (paths given to rm are absolute).
std::string shellQuote(const std::string& s);

// A logical path as a shell word: its host path (platform::toHost), quoted by shellQuote.
// Every path a shell line names must be written this way.
std::string shellPath(const std::string& logicalPath);

}  // namespace vendrel
