// The removal request flow: the part of the main window controller that removes the selected
// application once the user has confirmed it. Runs on the main thread.
//
//   1. remember the name in progress; queue the uninstall report once per new name;
//   2. the location check (refused: nothing happens, the page stays);
//   3. stop the application by name, wait 1 s; by folder, wait 1 s;
//   4. the bundle to the Trash; the daemon request (with its 3 s wait); the extended delete
//      engine in user mode;
//   5. the result page, the catalogue rebuild without the untrusted tip, the page "Step_US".
//
// A removal that did not complete is never reported as a success: when the bundle is still at
// its install path after step 4 (it could not be moved and the daemon did not remove it), the
// result says so, the catalogue keeps the selection and the page stays on "Step_2" so the
// user can try again.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "app/catalogue/installed_app.h"
#include "app/dispatch.h"
#include "common/journal.h"
#include "common/leftover_finder.h"

namespace vendrel {

// What the flow needs from the rest of the application. The desktop controller and the
// command line pass the real operations; nothing here is a stand-in.
struct RemovalServices {
    // sendRemovalRequest: sends the request and waits 3 s.
    std::function<bool()> sendDeleteRequest;
    // CloudReport postUninstall with (name, OS version); starts the post and returns.
    std::function<void(const std::string& name, const std::string& osVersion)> postUninstall;
    // The show-Apple check box's action: rebuilds the catalogue (which forgets the
    // selection).
    std::function<void()> rebuildCatalogue;
};

class RemovalFlow {
  public:
    static constexpr int kAlertNo = 1000;
    static constexpr int kAlertYes = 1001;

    RemovalFlow(dispatch::MainQueue& mainQueue, RemovalServices services, std::string osVersion)
        : mainQueue_(mainQueue), services_(std::move(services)), osVersion_(std::move(osVersion)) {}

    // The confirmation's question: "Are you sure you want to remove %@ ?".
    static std::string confirmationText(const std::string& name);
    // The location check: where a bundle may lie for the system to remove it.
    static bool isSafeToRemove(const std::string& path);

    // The alert's end: 1001 ("YES") starts the removal; any other code does nothing.
    void confirmationEnded(int returnCode);
    // Carries out the removal of selected.
    void removeSelected();

    // When set, every removing action of the application's own steps is reported to it (and
    // a dry-run journal makes the removal a rehearsal).
    Journal* journal = nullptr;

    // What the leftover finder found beyond the engine's places, shown to the user before the
    // confirmation; removed after the engine, reported to the same journal. Left empty when
    // the user asks for the engine alone. Items outside the user's home need administrator
    // rights: as the user they are left (and reported so).
    std::vector<leftovers::Finding> leftoverFindings;
    std::vector<leftovers::RemovedFinding> removedLeftovers;

    // State shared with the main window controller.
    InstalledAppRef selected;
    std::string reportedName;
    std::string pendingReportName;
    bool tipUntrustedApps = false;

    // The result page and the selected tab.
    std::string resultName;
    std::string resultCounts;
    std::string resultNote;
    std::string selectedTab = "Step_2";
    // Outcome of the last removal: whether it ran past the location check, and whether the
    // bundle is gone from its install path.
    bool lastRemovalStarted = false;
    bool lastRemovalCompleted = false;
    std::chrono::system_clock::time_point lastRemovalStart;

  private:
    dispatch::MainQueue& mainQueue_;
    RemovalServices services_;

  public:
    const std::string osVersion_;
};

}  // namespace vendrel
