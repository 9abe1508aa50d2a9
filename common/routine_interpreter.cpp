#include "common/routine_interpreter.h"

#include <vector>

#include "common/files.h"
#include "common/force_removal.h"
#include "common/guard.h"
#include "common/home_setting.h"
#include "common/journal.h"
#include "common/leftover_match.h"
#include "common/processes.h"
#include "common/scanners.h"
#include "common/sweep_support.h"
#include "platform/fs.h"
#include "platform/killall.h"
#include "platform/paths.h"
#include "platform/syslog.h"

namespace vendrel::routines {
namespace {

void skip(std::string_view what, std::string why) {
    journalRecord(JournalAction::Skipped, std::string(what), std::move(why));
}

std::optional<std::string> resolveOrSkip(std::string_view tablePath) {
    auto path = resolve(tablePath);
    if (!path)
        skip(tablePath, "the home folder \"" + platform::homeDirectory() + "\" is not usable");
    return path;
}

// A routine's path that another installed application claims (its own name or identifier,
// more specifically than the removed one's) or that holds another installed application's
// data (a vendor folder two products share) is left alone, whatever the row says.
bool sharedWithAnotherApp(const std::string& path) {
    const auto* ownership = leftovers::currentOwnership();
    if (!ownership)
        return false;
    const auto* other = ownership->holderInside(path);
    if (!other)
        return false;
    skip(path, "shared with the installed application " + other->bundlePath);
    return true;
}

void runScan(Scanner scanner, const std::string& fragment) {
    switch (scanner) {
        case Scanner::LaunchDaemons:
            scanners::launchDaemons(nullptr, fragment, true);
            break;
        case Scanner::LaunchAgents:
            scanners::launchAgents(nullptr, fragment, true);
            break;
        case Scanner::Preferences:
            scanners::preferences(nullptr, fragment, true);
            break;
        case Scanner::Receipts:
            scanners::receipts(fragment, true);
            break;
        case Scanner::Caches:
            scanners::caches(fragment, true);
            break;
        case Scanner::Cookies:
            scanners::cookies(fragment, true);
            break;
        case Scanner::SavedState:
            scanners::savedState(fragment, true);
            break;
        case Scanner::Containers:
            scanners::containers(fragment, true);
            break;
        case Scanner::GroupContainers:
            scanners::groupContainers(fragment, true);
            break;
        case Scanner::Logs:
            scanners::logs(fragment, true);
            break;
        case Scanner::Extensions:
            scanners::extensions(fragment, true);
            break;
        case Scanner::SharedFileLists:
            scanners::sharedFileLists(fragment, true);
            break;
        case Scanner::TemporaryFolders:
            scanners::temporaryFolders(fragment, true);
            break;
    }
}

void stopByFolders(std::string_view folders, const std::string& installPath) {
    std::vector<std::string> list{installPath};
    while (true) {
        const size_t semi = folders.find(';');
        if (auto folder = resolveOrSkip(folders.substr(0, semi)))
            list.push_back(*folder);
        if (semi == std::string_view::npos)
            break;
        folders.remove_prefix(semi + 1);
    }
    processes::killInFolders(list);
}

// The requesting user's own folder. As root the process's home is root's, so the user's is
// reached through the home directory setting; without a usable setting the path would be
// "/Library/..." of the whole system (or relative), and nothing is done.
void ownerHomeFolder(std::string_view libraryPath, Mode mode) {
    if (mode == Mode::User) {
        if (auto path = resolveOrSkip("~" + std::string(libraryPath)))
            files::moveToTrash(*path);
        return;
    }
    const auto home = homeDirectorySetting();
    if (!home || !sweep::isUsableHome(*home))
        return skip("<home>" + std::string(libraryPath),
                    "the home directory setting is not set to a usable folder");
    forceRemove(platform::appendPathComponent(*home, libraryPath));
}

void logLine(std::string_view text) {
    journalRecord(JournalAction::Logged, std::string(text));
    if (!journalDryRun())
        platform::logNotice(text);
}

// ---- Shell line rendering ----

// A pattern path as a shell word: the host folder and the literal runs of the last component
// quoted, each "*" bare so that the shell expands it.
std::string patternWord(const std::string& logicalPattern) {
    const std::string host = platform::toHost(logicalPattern);
    std::string word;
    size_t start = 0;
    while (true) {
        const size_t star = host.find('*', start);
        const std::string literal = host.substr(start, star - start);
        if (!literal.empty())
            word += shellQuote(literal);
        if (star == std::string::npos)
            break;
        word += '*';
        start = star + 1;
    }
    return word;
}

// The path a pattern's matches all lie below, with the pattern's literal start as its last
// component: what the guard judges for a pattern ("/Library/Preferences/com.sophos" for
// "/Library/Preferences/com.sophos*"). A pattern that starts with "*" is judged by its folder.
std::string patternStem(const std::string& logicalPattern) {
    return platform::standardizePath(logicalPattern.substr(0, logicalPattern.find('*')));
}

std::optional<std::string> renderCommand(const ShellCommand& command) {
    const auto logical = resolveOrSkip(command.arg);
    if (!logical)
        return std::nullopt;
    // A pattern is judged by its stem: the guard and the link check see the folder its
    // matches lie in. The matches themselves are expanded by the shell; the table's patterns
    // all lie in folders only root may write to ("/Library/Preferences", "/private/var/run").
    const bool pattern = logical->find('*') != std::string::npos;
    const std::string judged = pattern ? patternStem(*logical) : *logical;
    if (auto why = guard::forceRemovalRefusal(judged)) {
        journalRecord(JournalAction::ForceRemovalRefused, *logical, *why);
        return std::nullopt;
    }
    const bool followsLinks = command.verb == ShellVerb::Chmod777 ||
                              command.verb == ShellVerb::ChflagsNoschg ||
                              command.verb == ShellVerb::ChflagsNouchg;
    if (followsLinks && !pattern && platform::fs::isSymbolicLink(*logical)) {
        skip(std::string(spelling(command.verb)) + " " + *logical,
             "a symbolic link: the command would act on its target");
        return std::nullopt;
    }
    const std::string word = pattern ? patternWord(*logical) : shellPath(*logical);
    return std::string(spelling(command.verb)) + " " + word;
}

void runRootShellStep(std::string_view line) {
    const auto pieces = renderShellLine(line);
    if (pieces.empty())
        return skip(line, "no command of the line may run");
    for (const auto& piece : pieces) {
        if (!piece.killall) {
            runShellLine(piece.text);
            continue;
        }
        journalRecord(JournalAction::ShellLineRun, "killall " + piece.text);
        if (!journalDryRun())
            platform::killAllNamed(piece.text);
    }
}

}  // namespace

std::optional<std::string> resolve(std::string_view tablePath) {
    if (tablePath.starts_with("~/"))
        return sweep::homeJoin(tablePath.substr(1));
    return std::string(tablePath);
}

std::vector<ShellPiece> renderShellLine(std::string_view line) {
    std::vector<ShellPiece> pieces;
    forEachShellCommand(line, [&](const ShellCommand& command) {
        if (command.verb == ShellVerb::Killall) {
            pieces.push_back({true, std::string(command.arg)});
            return;
        }
        const auto text = renderCommand(command);
        if (!text)
            return;
        if (pieces.empty() || pieces.back().killall)
            pieces.push_back({false, *text});
        else
            pieces.back().text += ";" + *text;
    });
    return pieces;
}

void run(const Routine& routine, Mode mode, const std::string& installPath) {
    // A routine without an argument has no root-only steps and runs as in user mode; only the
    // routine that stops processes by folder is given the install path.
    const Mode effective = routine.argument == Argument::Mode ? mode : Mode::User;
    const bool userMode = effective == Mode::User;
    const std::string noPath;
    const std::string& folderArgument =
        routine.argument == Argument::InstallPath ? installPath : noPath;
    for (const Step& step : routine.steps) {
        switch (step.kind) {
            case StepKind::Begin:
                break;
            case StepKind::Stop:
                processes::killByName(std::string(step.a));
                break;
            case StepKind::StopByFolders:
                stopByFolders(step.a, folderArgument);
                break;
            case StepKind::Trash:
                if (auto path = resolveOrSkip(step.a); path && !sharedWithAnotherApp(*path))
                    files::moveToTrash(*path);
                break;
            case StepKind::Scan: {
                const std::string fragment(step.a);
                for (Scanner scanner : step.scans.scanners())
                    runScan(scanner, fragment);
                break;
            }
            case StepKind::RootShell:
                if (userMode)
                    break;
                runRootShellStep(step.a);
                break;
            case StepKind::RootForce:
                if (userMode)
                    break;
                if (auto path = resolveOrSkip(step.a); path && !sharedWithAnotherApp(*path))
                    forceRemove(*path);
                break;
            case StepKind::RootPattern:
                if (userMode)
                    break;
                if (auto pattern = resolveOrSkip(step.a))
                    removePattern(std::string(step.b), *pattern);
                break;
            case StepKind::OwnerHomeFolder:
                ownerHomeFolder(step.a, effective);
                break;
            case StepKind::Log:
                logLine(step.a);
                break;
        }
    }
}

}  // namespace vendrel::routines
