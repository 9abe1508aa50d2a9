#include "app/removal/removal_flow.h"

#include "common/lib_funs.h"
#include "common/lib_funs_AppExtendDelete.h"
#include "common/removal_location.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/strings.h"

namespace vendrel {

std::string RemovalFlow::confirmationText(const std::string& name) {
    return "Are you sure you want to remove " + name + " ?";
}

bool RemovalFlow::mpr_fun_IsCanSafeDeletePath_InstalledAppSeledRemove(const std::string& path) {
    return removal_location::isCanSafeDeletePath(path);
}

void RemovalFlow::alertDidEnd_RemoveSeledInstalledApp(int returnCode) {
    if (returnCode == kAlertYes)
        mpr_fun_Notification_InstalledAppSeledRemove();
}

void RemovalFlow::mpr_fun_Notification_InstalledAppSeledRemove() {
    lastRemovalStarted = false;
    lastRemovalCompleted = false;
    const InstalledAppRef record = mpr_class_InstalledAppInfo_Seled;
    if (!record)
        return;
    lastRemovalStart = std::chrono::system_clock::now();
    const std::string name = record->mpu_str_Name.get();
    const std::string installPath = record->mpu_str_InstallPath.get();
    const std::string publisher = record->mpu_str_Publisher.get();

    mpr_str_Temp_SubmitedUninstall_SoftwareName = name;
    if (!platform::equals65(mpr_str_SubmitedUninstall_SoftwareName,
                            mpr_str_Temp_SubmitedUninstall_SoftwareName)) {
        mpr_str_SubmitedUninstall_SoftwareName = mpr_str_Temp_SubmitedUninstall_SoftwareName;
        // Runs when the main thread is free again, after the removal.
        mainQueue_.async([this, reported = mpr_str_SubmitedUninstall_SoftwareName] {
            if (services_.postUninstall)
                services_.postUninstall(reported, mpr_str_OSXver);
        });
    }

    if (!mpr_fun_IsCanSafeDeletePath_InstalledAppSeledRemove(installPath))
        return;
    lastRemovalStarted = true;

    {
        Journal local;
        JournalScope scope(journal ? *journal : local);
        lib_funs::fun_Process_KillByName(name);
        platform::sleepSeconds(1.0);
        lib_funs::fun_Process_killByDirPath(installPath);
        platform::sleepSeconds(1.0);
        lib_funs::fun_File_DirRemoveToTrash(installPath);
        if (services_.sendDeleteRequest)
            services_.sendDeleteRequest();
        lib_funs_AppExtendDelete::fun_AppExtendDelete(installPath, name, publisher, std::nullopt,
                                                      true);
    }

    // A dry run moves nothing, so its outcome is judged like a real one would be.
    lastRemovalCompleted =
        (journal && journal->dryRun()) || !platform::fs::attributesOfItem(installPath);
    if (!lastRemovalCompleted) {
        mpu_TF_SeledRemoveSuccess_AppName = name + " could not be removed.";
        mpu_TF_SeledRemoveSuccess_AppDirsFiles =
            "It is still at " + installPath +
            ". Quit it if it is running, make sure Vendrel's helper is installed, and try again.";
        mpu_TF_SeledRemoveSuccess_Note.clear();
        selectedTab = "Step_2";
        return;
    }

    mpu_TF_SeledRemoveSuccess_AppDirsFiles = "Altogether " + record->mpu_str_DirCount.get() +
                                             " folders and " + record->mpu_str_FileCount.get() +
                                             " files were deleted, freed " +
                                             record->mpu_str_Size.get() + " space.";
    mpu_TF_SeledRemoveSuccess_AppName = name + " has been successfully removed.";
    mpu_TF_SeledRemoveSuccess_Note =
        "Note\xEF\xBC\x9A"
        "If you find the relevant processes of " +
        name + " still running after removal, please restart macOS. The relevant processes of " +
        name + " will be removed automatically after the restart.";
    mpr_bool_IsTipUntrustedApps = false;
    if (services_.rebuildCatalogue)
        services_.rebuildCatalogue();
    mpr_class_InstalledAppInfo_Seled = nullptr;
    selectedTab = "Step_US";
}

}  // namespace vendrel
