// The catalogue of installed applications and preference panes: the part of the main window
// controller's state that does not need a window. The desktop window controller and the
// command-line front end own one each and rebuild it from the volume.
//
// A rebuild scans, in this order: "/Applications/", its sub-folders (one level), the user's
// own "~/Applications" (no sub-folders), the user's Desktop, "/Library/PreferencePanes/" and
// "~/Library/PreferencePanes/". Links and Finder aliases are skipped, never followed. The
// records are then sorted by name, case-sensitively by character code (upper-case initials
// first); records with equal names keep their scan order. No de-duplication: one bundle
// copied into two scanned folders gives two records.
//
// Everything here runs on the thread that owns the catalogue (the main thread in the
// application); only the records' fields may be touched from other threads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/catalogue/lib_TargetInstalledAppInfo.h"
#include "app/catalogue/untrusted_hook.h"

namespace vendrel {

class Catalogue {
  public:
    // The hook compares the applications found with the malware list; it may be null, and
    // must outlive the catalogue.
    explicit Catalogue(UntrustedAppsHook* untrustedApps = nullptr)
        : untrustedApps_(untrustedApps) {}

    // Rebuilds the whole catalogue. Bool_IsShowMacApp: list Apple's own applications and panes.
    // The hook's beginRebuild() comes first. The selected record is kept (it may be an earlier
    // rebuild's record); the show-Apple toggle forgets it with clearSelection().
    void fun_GetInstalledApps(bool Bool_IsShowMacApp);

    // Adds the applications directly inside one folder.
    void fun_GetInstalledApps_ByRootPath(const std::string& rootPath, bool Bool_IsShowMacApp);
    // Adds the applications one folder level below one folder (bundles are not entered).
    void fun_GetInstalledApps_ByRootPath_GetSubDirApp(const std::string& rootPath,
                                                      bool Bool_IsShowMacApp);
    // Adds the preference panes directly inside one folder (no never-shown test, no malware
    // comparison).
    void fun_GetInstalledPrefPane_ByRootPath(const std::string& rootPath, bool Bool_IsShowMacApp);

    // True for applications that are never shown: the system itself, installers and
    // uninstallers, and helper tools that come with other products.
    static bool fun_GetinstalledApps_NoShow(const std::string& installPath,
                                            const std::string& Str_AppName,
                                            const std::string& Str_Publisher);

    // Selection, as the list view reports it. select() ignores an index past the end.
    void select(size_t index);
    void clearSelection();

    // The catalogue list in displayed order; a selection index is an index into it.
    std::vector<InstalledAppRef> mpu_array_TargetInstalledAppInfo;
    InstalledAppRef mpr_class_InstalledAppInfo_Seled;  // null when nothing is selected
    uint64_t mpr_uint_InstalledAppInfo_Index = 0;
    // Whether the next rebuild may show the untrusted-applications tip.
    bool mpr_bool_IsTipUntrustedApps = false;

    // The icon shown for a bundle that names no icon file of its own. The file need not exist
    // on the volume; the user interface draws its built-in application picture then.
    static constexpr const char* kGenericApplicationIcon =
        "/System/Library/CoreServices/CoreTypes.bundle/Contents/Resources/"
        "GenericApplicationIcon.icns";

  private:
    enum class BundleKind { Application, PreferencePane };
    void scanFolder(const std::string& rootPath, bool showApple, BundleKind kind);

    UntrustedAppsHook* untrustedApps_;
};

}  // namespace vendrel
