// How the catalogue rebuild meets the malware list without knowing about it.
#pragma once

#include "app/catalogue/installed_app.h"

namespace vendrel {

class UntrustedAppsHook {
  public:
    virtual ~UntrustedAppsHook() = default;
    // Step 1 of every rebuild: empty the untrusted-applications list, then load.
    virtual void beginRebuild() = 0;
    // Called for every application bundle the application scan finds, hidden and Apple's
    // included, never for preference panes: checkName with the
    // record's name (the record gives the image for the list entry).
    virtual void checkApplication(const InstalledApp& record) = 0;
};

}  // namespace vendrel
