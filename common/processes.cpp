// Stopping running applications.
//
// Stopping is a force-quit (no chance to save), so the folder rules refuse a folder that the
// removal guard protects: a containment match on "/" or "/Applications" would stop every
// application on the machine, and no caller has a reason to ask for that. Such a folder is
// journalled as skipped and matches nothing.
#include <cmath>

#include "common/guard.h"
#include "common/journal.h"
#include "common/processes.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "platform/strings.h"
#include "platform/system.h"

namespace vendrel {
namespace {

// Force-quits one application (or, in a dry run, only records that it would) and journals
// the outcome. forceTerminate does not wait for the process to end.
void stop(const platform::RunningApplication& app) {
    if (journalDryRun() || platform::forceTerminate(app))
        journalRecord(JournalAction::ProcessStopped, app.bundlePath, std::to_string(app.pid));
    else
        journalRecord(JournalAction::Skipped, app.bundlePath,
                      "could not stop process " + std::to_string(app.pid));
}

bool usableFolder(const std::string& folder) {
    if (folder.empty())
        return false;  // an empty needle matches nothing anyway
    if (auto why = guard::refusal(folder)) {
        journalRecord(JournalAction::Skipped, folder, "not stopping applications in " + *why);
        return false;
    }
    return true;
}

}  // namespace

bool processes::killByName(const std::optional<std::string>& name) {
    if (!name)
        return false;
    for (const auto& app : platform::runningApplications()) {
        if (app.bundleName && platform::equals65(*app.bundleName, *name)) {
            stop(app);
            return true;  // only the first match in the list is stopped
        }
    }
    return false;
}

bool processes::killInFolder(const std::optional<std::string>& dirPath) {
    if (!dirPath)
        return false;
    if (!usableFolder(*dirPath))
        return true;
    for (const auto& app : platform::runningApplications()) {
        if (platform::containsCaseInsensitive(app.bundlePath, *dirPath))
            stop(app);
    }
    return true;
}

bool processes::killInFolders(const std::optional<std::vector<std::string>>& dirPaths) {
    if (!dirPaths || dirPaths->empty())
        return false;
    std::vector<std::string> folders;
    for (const auto& folder : *dirPaths) {
        if (usableFolder(folder))
            folders.push_back(folder);
    }
    for (const auto& app : platform::runningApplications()) {
        // One force-quit per matching folder; a second SIGKILL to the same process changes
        // nothing, and the platform refuses it once the pid names another process.
        for (const auto& folder : folders) {
            if (platform::containsCaseInsensitive(app.bundlePath, folder))
                stop(app);
        }
    }
    return true;
}

}  // namespace vendrel
