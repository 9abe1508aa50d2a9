// The extended delete engine. See extended_delete.h for the contracts.
//
// Guards on top of the documented behaviour (names and identifiers come from another
// program's Info.plist and are untrusted):
// - a display name that guard::isUsableName refuses (empty, blank, holding "/", "." or "..")
//   skips every step that builds a path from the name: the "/Users/Shared", Application
//   Support and Preferences folders and the name's program paths in the launchd scans;
// - an identifier that guard::isUsableIdentifier refuses ("com", "com.", "../../System",
//   "N/A", ...) skips every identifier-based step, as an empty one does;
// - an unusable home folder skips the home-relative steps instead of turning
//   "<home>/Library/..." into "/Library/...";
// - force removal never follows a link (guard::forceRemovalRefusal, and a link at the path
//   is unlinked without chmod); a regular file with other hard links loses only this name;
// - a name or identifier too short or generic to mean one product (common/leftover_match.h)
//   drives no step, and every scan matches at component boundaries only;
// - the run makes the removal's Ownership current (unless the caller already did), so an
//   entry that another installed application claims more specifically stays, in the
//   scanners and in the routines alike;
// - root mode purges from root's Trash only what this run put there, never what was there
//   before (another removal's items, which the administrator may still put back);
// - every refusal and every skipped step is reported to the removal journal.
#include "common/extended_delete.h"

#include <string_view>

#include "common/command_list.h"
#include "common/dispatch_table.h"
#include "common/files.h"
#include "common/force_removal.h"
#include "common/guard.h"
#include "common/home_setting.h"
#include "common/journal.h"
#include "common/leftover_match.h"
#include "common/processes.h"
#include "common/routine_interpreter.h"
#include "common/scanners.h"
#include "common/sweep_support.h"
#include "platform/child.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/killall.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/syslog.h"

namespace vendrel::extended_delete {
namespace {

// The bundle the product (and its daemon) is installed from.
constexpr std::string_view kInstalledProductBundle = "/Applications/Vendrel.app";

void logLine(const std::string& text) {
    journalRecord(JournalAction::Logged, text);
    if (!journalDryRun())
        platform::logNotice(text);
}

// ---- The sweep ----

// Trimming of the publisher: spaces and tabs at both ends.
std::string trimSpacesAndTabs(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

void trash(const std::string& path) {
    files::moveToTrash(path);
}

// Home-relative folder, or nullopt (and a journal line) when the home folder is unusable.
std::optional<std::string> homeFolder(const char* literal) {
    auto path = sweep::homeJoin(literal);
    if (!path)
        journalRecord(JournalAction::Skipped, std::string("~") + literal,
                      "the home folder \"" + platform::homeDirectory() + "\" is not usable");
    return path;
}

// The launchd jobs of the system folder and the home folder, each read once, matched against
// the program paths in order, system folder first for each path.
void trashLaunchJobs(const char* literal, const std::vector<std::string>& programPaths) {
    sweep::LaunchJobFolder systemJobs(literal);
    std::optional<sweep::LaunchJobFolder> homeJobs;
    if (auto path = sweep::homeJoin(literal))
        homeJobs.emplace(*path);
    for (const auto& programPath : programPaths) {
        if (!sweep::isSpecificProgramPath(programPath))
            continue;
        systemJobs.trashMatching(programPath);
        if (homeJobs)
            homeJobs->trashMatching(programPath);
    }
}

// Root's Trash as this run left it: what the routine moved there goes, the rest stays.
void purgeOwnRootTrashItems(const files::TrashedItems& trashed) {
    const std::string rootTrash = "/private/var/root/.Trash/";
    for (const auto& path : trashed.trashedPaths()) {
        if (path.compare(0, rootTrash.size(), rootTrash) == 0)
            forceRemove(path);
    }
}

void sweepLeftovers(const std::string& installPath, const std::string& appName,
                    const std::string& publisher, Mode mode, const files::TrashedItems& trashed) {
    // 1. Root mode: the bundle itself, then what the routine moved to root's Trash.
    if (mode == Mode::Root) {
        forceRemove(installPath);
        purgeOwnRootTrashItems(trashed);
    }

    // 2. The identifier, and whether the name and the identifier may build paths.
    const std::string id = trimSpacesAndTabs(publisher);
    const bool nameOk = leftovers::isSpecificName(appName);
    const bool idOk = !id.empty() && leftovers::isSpecificIdentifier(id);
    if (!nameOk)
        journalRecord(JournalAction::Skipped, appName,
                      "display name too generic or not usable: the name-based folders are left "
                      "alone");
    if (!id.empty() && !idOk)
        journalRecord(JournalAction::Skipped, id,
                      "identifier too generic or not usable: the identifier-based steps are left "
                      "alone");

    const std::string systemSupport = "/Library/Application Support";
    const auto homeSupport = homeFolder("/Library/Application Support");
    const auto homePreferences = homeFolder("/Library/Preferences");
    const auto join = platform::appendPathComponent;

    // 3-6. Folders named after the application and its identifier.
    if (nameOk)
        trash(join("/Users/Shared", appName));
    if (homeSupport) {
        if (nameOk)
            trash(join(*homeSupport, appName));
        if (idOk)
            trash(join(*homeSupport, id));
    }
    if (nameOk)
        trash(join(systemSupport, appName));
    if (idOk)
        trash(join(systemSupport, id));
    if (nameOk) {
        if (homePreferences)
            trash(join(*homePreferences, appName));
        trash(join("/Library/Preferences", appName));
    }

    // 7-8. Launch agents, then launch daemons, that run a program from these places.
    std::vector<std::string> programPaths{installPath};
    if (nameOk) {
        if (homeSupport)
            programPaths.push_back(join(*homeSupport, appName));
        programPaths.push_back(join(systemSupport, appName));
    }
    if (idOk) {
        programPaths.push_back(join(systemSupport, id));
        if (homeSupport)
            programPaths.push_back(join(*homeSupport, id));
    }
    trashLaunchJobs("/Library/LaunchAgents", programPaths);
    trashLaunchJobs("/Library/LaunchDaemons", programPaths);

    // 9. Scans by identifier; Apple's own identifiers keep their preferences, recent
    // documents and temporary folders.
    if (!idOk || !platform::containsCaseInsensitive(id, "com."))
        return;
    scanners::receipts(id, true);
    scanners::caches(id, true);
    scanners::cookies(id, true);
    scanners::savedState(id, true);
    scanners::containers(id, true);
    scanners::groupContainers(id, true);
    if (platform::containsCaseInsensitive(id, "com.apple"))
        return;
    scanners::preferences(nullptr, id, true);
    scanners::sharedFileLists(id, true);
    scanners::temporaryFolders(id, true);
}

}  // namespace

std::vector<std::string> dispatchFor(const std::string& bundleFileName) {
    std::vector<std::string> names;
    if (const auto* entry = routines::findDispatchEntry(bundleFileName)) {
        if (entry->selfRemoval)
            names.emplace_back("self-removal");
        for (const auto* routine : entry->routines)
            if (routine)
                names.emplace_back(routine->name);
    }
    return names;
}

void emptyRootTrash() {
    removeProtectedFolder("/private/var/root/.Trash");
}

// ---- Self-removal ----

void removeSelf() {
    const bool dryRun = journalDryRun();
    processes::killByName(std::string("Vendrel"));
    if (!dryRun)
        platform::sleepSeconds(3.0);
    trash("/Library/Application Support/Vendrel");
    trash("/Applications/Vendrel.app");
    logLine("NSXPC Listener: MSG KillSelf...");

    const std::string helper = "/Library/PrivilegedHelperTools/com.Vendrel.Ostrand.DaemonServer";
    trash(helper);
    removeFile(helper);
    logLine("NSXPC Listener: MSG KillSelf Delete Server...");

    const std::string job = "/Library/LaunchDaemons/com.Vendrel.Ostrand.DaemonServer.plist";
    trash(job);
    removeFile(job);
    logLine("NSXPC Listener: MSG KillSelf Delete plist...");

    // The user's own support folder, reached through the home directory setting. Without a
    // usable setting the path would be "/Library/Application Support/Vendrel" (or relative).
    const auto home = homeDirectorySetting();
    if (home && sweep::isUsableHome(*home)) {
        forceRemove(platform::appendPathComponent(*home, "/Library/Application Support/Vendrel"));
    } else {
        journalRecord(JournalAction::Skipped, "<home>/Library/Application Support/Vendrel",
                      "the home directory setting is not set to a usable folder");
    }

    // killall limited to this volume's processes: a shell killall would end the daemons of
    // every volume on the machine. The daemon ends at once, so this request gets no reply.
    journalRecord(JournalAction::ShellLineRun, "killall com.Vendrel.Ostrand.DaemonServer");
    if (!dryRun)
        platform::killAllNamed("com.Vendrel.Ostrand.DaemonServer");
    logLine("NSXPC Listener: MSG KillSelf Unload Server...");
}

// ---- The engine ----

void run(const std::string& installPath, const std::string& appName, const std::string& bundleId,
         const std::optional<std::string>& commandList, Mode mode) {
    if (platform::pathComponents(installPath).size() < 3)
        return;

    std::optional<leftovers::OwnershipScope> ownershipScope;
    if (!leftovers::currentOwnership())
        ownershipScope.emplace(leftovers::Ownership::forRemoval(installPath, appName, bundleId));
    files::TrashedItems trashed;

    if (const auto* entry = routines::findDispatchEntry(platform::lastPathComponent(installPath))) {
        if (entry->selfRemoval) {
            // Only the installed product is this product: any folder may be named
            // "Vendrel.app", and the self-removal ends the daemon and trashes the real one. A
            // copy elsewhere goes with its bundle alone: its leftovers by name would be the
            // installed product's.
            if (!platform::equals65(installPath, kInstalledProductBundle) ||
                platform::standardizePath(installPath).size() != kInstalledProductBundle.size()) {
                journalRecord(JournalAction::Skipped, "self-removal",
                              "\"" + installPath + "\" is not the installed product's bundle " +
                                  std::string(kInstalledProductBundle));
                return;
            }
            journalRecord(JournalAction::RoutineSelected, "self-removal", describe(*entry));
            removeSelf();
            return;
        }
        for (const auto* routine : entry->routines) {
            if (!routine)
                continue;
            journalRecord(JournalAction::RoutineSelected, std::string(routine->name),
                          describe(*entry));
            routines::run(*routine, mode, installPath);
        }
    }

    sweepLeftovers(installPath, appName, bundleId, mode, trashed);

    // The command list, in root mode only, is data: common/command_list.h says which lines it
    // may hold and where their paths may lead. No line of it reaches a shell.
    if (mode == Mode::Root && commandList) {
        journalRecord(JournalAction::CommandListRun, *commandList);
        command_list::run(*commandList, homeDirectorySetting().value_or(std::string()));
    }
}

}  // namespace vendrel::extended_delete
