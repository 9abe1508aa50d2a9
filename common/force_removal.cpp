// The removal primitives. See force_removal.h for the contracts.
#include "common/force_removal.h"

#include <string_view>
#include <vector>

#include "common/guard.h"
#include "common/journal.h"
#include "platform/child.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/syslog.h"

namespace vendrel {
namespace {

void runBash(const std::string& line) {
    platform::runAndWait({"/bin/bash", "-c", line});
}

void refuseForceRemoval(const std::string& path, const std::string& why) {
    journalRecord(JournalAction::ForceRemovalRefused, path, why);
    if (!journalDryRun())
        platform::logNotice("Force removal refused: " + path + " (" + why + ")");
}

// ---- Shell patterns ----

bool hasWildcard(std::string_view s) {
    return s.find_first_of("*?") != std::string_view::npos;
}

// The shell's "*" and "?" on one file name; like the shell, neither matches a leading ".".
bool globMatch(std::string_view pattern, std::string_view name) {
    if (!name.empty() && name.front() == '.' && !pattern.empty() && pattern.front() != '.')
        return false;
    size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

}  // namespace

std::optional<std::vector<std::string>> patternMatches(const std::string& logicalPattern) {
    const std::string folder = platform::deletingLastPathComponent(logicalPattern);
    const std::string pattern = platform::lastPathComponent(logicalPattern);
    if (folder.empty() || folder.front() != '/' || hasWildcard(folder)) {
        journalRecord(JournalAction::Skipped, logicalPattern,
                      "a wildcard may only stand in the last path component");
        return std::nullopt;
    }
    std::vector<std::string> matches;
    for (const auto& name : platform::fs::contentsOfDirectory(folder)) {
        if (globMatch(pattern, name))
            matches.push_back(platform::appendPathComponent(folder, name));
    }
    return matches;
}

namespace {

// Force removal of exactly one path. Never a pattern: a bundle may be named "*.app", and
// expanding its install path would take every application beside it.
void forceRemoveOne(const std::string& logicalPath) {
    if (auto why = guard::forceRemovalRefusal(logicalPath))
        return refuseForceRemoval(logicalPath, *why);
    const auto attributes = platform::fs::attributesOfItem(logicalPath);
    if (!attributes)
        return;  // nothing there: nothing to report
    if (attributes->type == platform::fs::FileType::SymbolicLink) {
        // chmod would act on the link's target; the link alone goes.
        journalRecord(JournalAction::ForceRemoved, logicalPath, "symbolic link removed as a link");
        if (!journalDryRun())
            platform::fs::removeItem(logicalPath);
        return;
    }
    const std::string quoted = shellPath(logicalPath);
    std::string line = "rm -rf " + quoted;
    if (!(attributes->type == platform::fs::FileType::Regular &&
          platform::fs::hasOtherHardLinks(logicalPath)))
        line = "chmod 777 " + quoted + ";" + line;
    // The journal keeps the shell line as the record of what was done; the act itself holds
    // descriptors, so a folder swapped for a link after the guard's check reaches nothing.
    journalRecord(JournalAction::ForceRemoved, logicalPath, line);
    if (!journalDryRun() && !platform::fs::forceRemoveItem(logicalPath))
        platform::logNotice("Force removal failed: " + logicalPath);
}

}  // namespace

// ---- Quoting ----

std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += '\'';
    return out;
}

std::string shellPath(const std::string& logicalPath) {
    return shellQuote(platform::toHost(logicalPath));
}

// ---- Building blocks ----

void forceRemove(const std::string& logicalPath) {
    forceRemoveOne(logicalPath);
}

void forceRemovePattern(const std::string& logicalPattern) {
    if (auto matches = patternMatches(logicalPattern)) {
        for (const auto& match : *matches)
            forceRemoveOne(match);
    }
}

void runShellLine(const std::string& line) {
    if (guard::isConfined()) {
        journalRecord(JournalAction::Skipped, line, "a root shell line needs an administrator");
        return;
    }
    journalRecord(JournalAction::ShellLineRun, line);
    if (!journalDryRun())
        runBash(line);
}

void removePattern(const std::string& flags, const std::string& logicalPattern) {
    if (flags != "-f" && flags != "-rf") {
        journalRecord(JournalAction::Skipped, logicalPattern, "only \"-f\" or \"-rf\"");
        return;
    }
    const auto matches = patternMatches(logicalPattern);
    if (!matches)
        return;
    std::vector<std::string> targets;
    std::string removed;
    for (const auto& path : *matches) {
        if (auto why = guard::forceRemovalRefusal(path)) {
            refuseForceRemoval(path, *why);
            continue;
        }
        targets.push_back(path);
        removed += (removed.empty() ? "" : "\n") + path;
    }
    if (removed.empty())
        return;  // no match removes nothing and reports nothing
    journalRecord(JournalAction::PatternRemoved, logicalPattern, removed);
    if (journalDryRun())
        return;
    for (const auto& path : targets) {
        // "-f" removes files only, as rm without -r leaves a folder in place.
        const auto attrs = platform::fs::attributesOfItem(path);
        if (flags == "-f" && attrs && attrs->type == platform::fs::FileType::Directory)
            continue;
        platform::fs::removeItem(path);
    }
}

void removeFile(const std::string& path) {
    if (!platform::fs::attributesOfItem(path))
        return;
    if (auto why = guard::forceRemovalRefusal(path))
        return refuseForceRemoval(path, *why);
    journalRecord(JournalAction::ForceRemoved, path, "/bin/rm -f");
    if (journalDryRun())
        return;
    const auto attrs = platform::fs::attributesOfItem(path);
    if (attrs && attrs->type != platform::fs::FileType::Directory)
        platform::fs::removeItem(path);
}

void removeProtectedFolder(const std::string& path) {
    // The guard protects such a folder from ordinary removals, so it cannot vouch for it; the
    // link check is made here: rm -rf must not be led elsewhere by a linked parent.
    if (guard::isConfined())
        return refuseForceRemoval(path, "needs a request of an administrator");
    if (auto link = platform::fs::linkAmongParents(path))
        return refuseForceRemoval(path, "passes through the symbolic link " + *link);
    const std::string line = "rm -rf " + shellPath(path);
    journalRecord(JournalAction::ForceRemoved, path, line);
    if (!journalDryRun())
        platform::fs::removeItem(path);
}

}  // namespace vendrel
