#include "app/removal/removal_flow.h"

#include "common/extended_delete.h"
#include "common/files.h"
#include "common/processes.h"
#include "common/removal_location.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/strings.h"
#include "platform/system.h"

namespace vendrel {

std::string RemovalFlow::confirmationText(const std::string& name) {
    return "Are you sure you want to remove " + name + " ?";
}

bool RemovalFlow::isSafeToRemove(const std::string& path) {
    return removal_location::isCanSafeDeletePath(path);
}

void RemovalFlow::confirmationEnded(int returnCode) {
    if (returnCode == kAlertYes)
        removeSelected();
}

void RemovalFlow::removeSelected() {
    lastRemovalStarted = false;
    lastRemovalCompleted = false;
    const InstalledAppRef record = selected;
    if (!record)
        return;
    lastRemovalStart = std::chrono::system_clock::now();
    const std::string name = record->name.get();
    const std::string installPath = record->installPath.get();
    const std::string publisher = record->bundleId.get();

    pendingReportName = name;
    if (!platform::equals65(reportedName, pendingReportName)) {
        reportedName = pendingReportName;
        // Runs when the main thread is free again, after the removal.
        mainQueue_.async([this, reported = reportedName] {
            if (services_.postUninstall)
                services_.postUninstall(reported, osVersion_);
        });
    }

    if (!isSafeToRemove(installPath))
        return;
    lastRemovalStarted = true;

    {
        Journal local;
        JournalScope scope(journal ? *journal : local);
        processes::killByName(name);
        platform::sleepSeconds(1.0);
        processes::killInFolder(installPath);
        platform::sleepSeconds(1.0);
        files::moveToTrash(installPath);
        if (services_.sendDeleteRequest)
            services_.sendDeleteRequest();
        extended_delete::run(installPath, name, publisher, std::nullopt, Mode::User);
        removedLeftovers = leftovers::removeFindings(leftoverFindings, platform::runsAsRoot());
    }

    // A dry run moves nothing, so its outcome is judged like a real one would be.
    lastRemovalCompleted =
        (journal && journal->dryRun()) || !platform::fs::attributesOfItem(installPath);
    if (!lastRemovalCompleted) {
        resultName = name + " could not be removed.";
        resultCounts =
            "It is still at " + installPath +
            ". Quit it if it is running, make sure Vendrel's helper is installed, and try again.";
        resultNote.clear();
        selectedTab = "Step_2";
        return;
    }

    resultCounts = "Altogether " + record->folderCount.get() + " folders and " +
                   record->fileCount.get() + " files were deleted, freed " +
                   record->sizeText.get() + " space.";
    resultName = name + " has been successfully removed.";
    resultNote =
        "Note\xEF\xBC\x9A"
        "If you find the relevant processes of " +
        name + " still running after removal, please restart macOS. The relevant processes of " +
        name + " will be removed automatically after the restart.";
    tipUntrustedApps = false;
    if (services_.rebuildCatalogue)
        services_.rebuildCatalogue();
    selected = nullptr;
    selectedTab = "Step_US";
}

}  // namespace vendrel
