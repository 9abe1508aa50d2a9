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

#include "app/catalogue/installed_app.h"
#include "app/catalogue/untrusted_hook.h"

namespace vendrel {

class Catalogue {
  public:
    // The hook compares the applications found with the malware list; it may be null, and
    // must outlive the catalogue.
    explicit Catalogue(UntrustedAppsHook* untrustedApps = nullptr)
        : untrustedApps_(untrustedApps) {}

    // Rebuilds the whole catalogue. showApple: list Apple's own applications and panes.
    // The hook's beginRebuild() comes first. The selected record is kept (it may be an earlier
    // rebuild's record); the show-Apple toggle forgets it with clearSelection().
    void rebuild(bool showApple);

    // Adds the applications directly inside one folder.
    void addApps(const std::string& rootPath, bool showApple);
    // Adds the applications one folder level below one folder (bundles are not entered).
    void addAppsInSubfolders(const std::string& rootPath, bool showApple);
    // Adds the preference panes directly inside one folder (no never-shown test, no malware
    // comparison).
    void addPreferencePanes(const std::string& rootPath, bool showApple);

    // True for applications that are never shown: the system itself, installers and
    // uninstallers, and helper tools that come with other products.
    static bool isNeverShown(const std::string& installPath, const std::string& appName,
                             const std::string& bundleId);

    // Selection, as the list view reports it. select() ignores an index past the end.
    void select(size_t index);
    void clearSelection();

    // The catalogue list in displayed order; a selection index is an index into it.
    std::vector<InstalledAppRef> apps;
    InstalledAppRef selected;  // null when nothing is selected
    uint64_t selectedIndex = 0;
    // Whether the next rebuild may show the untrusted-applications tip.
    bool tipUntrustedApps = false;

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
