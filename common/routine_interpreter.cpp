#include "common/routine_interpreter.h"

#include <vector>

#include "common/guard.h"
#include "common/journal.h"
#include "common/lib_funs.h"
#include "common/lib_funs_AppExtendDelete.h"
#include "common/sweep_support.h"
#include "platform/fs.h"
#include "platform/killall.h"
#include "platform/paths.h"
#include "platform/syslog.h"

namespace vendrel::routines {
namespace {

using Engine = lib_funs_AppExtendDelete;

void skip(std::string_view what, std::string why) {
    journalRecord(JournalAction::Skipped, std::string(what), std::move(why));
}

std::optional<std::string> resolveOrSkip(std::string_view tablePath) {
    auto path = resolve(tablePath);
    if (!path)
        skip(tablePath, "the home folder \"" + platform::homeDirectory() + "\" is not usable");
    return path;
}

void runScan(Scanner scanner, const std::string& fragment) {
    switch (scanner) {
        case Scanner::LD:
            lib_funs::fun_File_GetAllPlist_LibraryLaunchDaemons(nullptr, fragment, true);
            break;
        case Scanner::LA:
            lib_funs::fun_File_GetAllPlist_LibraryLaunchAgents(nullptr, fragment, true);
            break;
        case Scanner::PR:
            lib_funs::fun_File_GetAllPlist_LibraryPreferences(nullptr, fragment, true);
            break;
        case Scanner::RC:
            lib_funs::fun_File_GetAllPlist_Receipts(fragment, true);
            break;
        case Scanner::CA:
            lib_funs::fun_File_GetAllFile_LibraryCaches(fragment, true);
            break;
        case Scanner::CK:
            lib_funs::fun_File_GetallFile_libraryCookies(fragment, true);
            break;
        case Scanner::SS:
            lib_funs::fun_File_GetAllFile_LibraryApplictionState(fragment, true);
            break;
        case Scanner::CO:
            lib_funs::fun_File_GetAllFile_LibraryContainers(fragment, true);
            break;
        case Scanner::GC:
            lib_funs::fun_File_GetAllFile_LibraryGroupContainers(fragment, true);
            break;
        case Scanner::LG:
            lib_funs::fun_File_GetAllFile_LibraryLogs(fragment, true);
            break;
        case Scanner::EX:
            lib_funs::fun_File_GetAllFile_LibraryExtensions(fragment, true);
            break;
        case Scanner::SF:
            lib_funs::fun_File_GetAllFile_LibrarySFL(fragment, true);
            break;
        case Scanner::VF:
            lib_funs::fun_File_GetAllFile_PrivateVarFoldersVd(fragment, true);
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
    lib_funs::fun_Process_KillByMultipleDirPath(list);
}

// The requesting user's own folder. As root the process's home is root's, so the user's is
// reached through the home directory setting; without a usable setting the path would be
// "/Library/..." of the whole system (or relative), and nothing is done.
void ownerHomeFolder(std::string_view libraryPath, bool userMode) {
    if (userMode) {
        if (auto path = resolveOrSkip("~" + std::string(libraryPath)))
            lib_funs::fun_File_DirRemoveToTrash(*path);
        return;
    }
    const auto home = Engine::fun_Get_HomeDirectory();
    if (!home || !sweep::isUsableHome(*home))
        return skip("<home>" + std::string(libraryPath),
                    "the home directory setting is not set to a usable folder");
    Engine::forceRemove(platform::appendPathComponent(*home, libraryPath));
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

void runShellLine(std::string_view line) {
    const auto pieces = renderShellLine(line);
    if (pieces.empty())
        return skip(line, "no command of the line may run");
    for (const auto& piece : pieces) {
        if (!piece.killall) {
            Engine::runShellLine(piece.text);
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

void run(const Routine& routine, bool userMode, const std::string& installPath) {
    for (const Step& step : routine.steps) {
        switch (step.kind) {
            case StepKind::Begin:
                break;
            case StepKind::Stop:
                lib_funs::fun_Process_KillByName(std::string(step.a));
                break;
            case StepKind::StopByFolders:
                stopByFolders(step.a, installPath);
                break;
            case StepKind::Trash:
                if (auto path = resolveOrSkip(step.a))
                    lib_funs::fun_File_DirRemoveToTrash(*path);
                break;
            case StepKind::Scan: {
                std::array<Scanner, 13> scanners{};
                const size_t n = parseScanCodes(step.b, scanners);
                const std::string fragment(step.a);
                for (size_t i = 0; i < n; ++i)
                    runScan(scanners[i], fragment);
                break;
            }
            case StepKind::RootShell:
                if (userMode)
                    break;
                runShellLine(step.a);
                break;
            case StepKind::RootForce:
                if (userMode)
                    break;
                if (auto path = resolveOrSkip(step.a))
                    Engine::forceRemove(*path);
                break;
            case StepKind::RootPattern:
                if (userMode)
                    break;
                if (auto pattern = resolveOrSkip(step.a))
                    Engine::removePattern(std::string(step.b), *pattern);
                break;
            case StepKind::OwnerHomeFolder:
                ownerHomeFolder(step.a, userMode);
                break;
            case StepKind::Log:
                logLine(step.a);
                break;
        }
    }
}

}  // namespace vendrel::routines
