// The removal flow in process: the report rule, the location check, and a removal that did
// not complete. The report goes to the real server stand-in; without an installed daemon the
// request finds nobody (as on a machine where the helper was never installed).
#include "app/removal/removal_flow.h"

#include <gtest/gtest.h>

#include <chrono>

#include "app/catalogue/catalogue.h"
#include "app/cli/services.h"
#include "app/online/cloud_report.h"
#include "platform/http.h"
#include "tests/support/server.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

class Flow : public ::testing::Test {
  protected:
    InstalledAppRef makeApp(const std::string& bundle, const std::string& name) {
        vol.makeBundle(bundle, {{"CFBundleName", name}, {"CFBundleIdentifier", "com.example.x"}});
        auto r = std::make_shared<InstalledApp>();
        r->name.set(name);
        r->installPath.set(bundle);
        r->bundleId.set("com.example.x");
        r->folderCount.set("2");
        r->fileCount.set("1");
        r->sizeText.set("300 Bytes");
        return r;
    }
    // Removes one record through the confirmation's "YES"; the queued report runs after it.
    void removeYes(const InstalledAppRef& r) {
        flow.selected = r;
        flow.confirmationEnded(RemovalFlow::kAlertYes);
        mainQueue.drain();
    }
    std::vector<std::string> reportedNames(size_t expected) {
        std::vector<std::string> names;
        for (const auto& p : server.waitForPosts(expected, 5.0)) {
            const size_t at = p.body.find("softwarename=");
            names.push_back(p.body.substr(at + 13, p.body.find('&', at) - at - 13));
        }
        return names;
    }

    test::TempVolume vol;
    test::TestServer server;
    dispatch::MainQueue mainQueue;
    Catalogue catalogue;
    RemovalFlow flow{mainQueue, cli::removalServices(catalogue), "Mac OS X 10.12.x later"};
};

TEST_F(Flow, OneReportPerNewNameComparedWithoutCase) {
    removeYes(makeApp("/Applications/Foo.app", "Foo"));
    removeYes(makeApp("/Applications/foo.app", "foo"));
    removeYes(makeApp("/Applications/Bar.app", "Bar"));
    removeYes(makeApp("/Applications/Foo.app", "Foo"));
    cli::finishOnlineWork(std::chrono::steady_clock::now());
    EXPECT_EQ(reportedNames(3), (std::vector<std::string>{"Foo", "Bar", "Foo"}));
}

// A command that already spent a whole time-out (on a silent server, say) does not wait a
// second one for its report: the wait at its end takes only what is left of one post
// time-out, counted from the command's start.
TEST(FinishOnlineWork, WaitsOnlyWhatIsLeftOfOneTimeOut) {
    test::TestServer silent(test::TestServer::Options().hang("/ucloudcenter/uninstall.php"));
    ASSERT_TRUE(CloudReport().postUninstall("Foo", "Mac OS X 10.12.x later", std::nullopt));
    const auto start = std::chrono::steady_clock::now();
    cli::finishOnlineWork(start -
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(platform::http::kPostTimeoutSeconds)));
    const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
    EXPECT_LT(waited.count(), 2.0);
    EXPECT_FALSE(platform::http::waitForPosts(0.0)) << "the post is still out";
}

TEST_F(Flow, ResultTextsAfterASuccessfulRemoval) {
    removeYes(makeApp("/Applications/Utilities/Foo.app", "Foo"));
    EXPECT_TRUE(flow.lastRemovalCompleted);
    EXPECT_EQ(flow.selectedTab, "Step_US");
    EXPECT_EQ(flow.resultName, "Foo has been successfully removed.");
    EXPECT_EQ(flow.resultCounts,
              "Altogether 2 folders and 1 files were deleted, freed 300 Bytes space.");
    EXPECT_EQ(flow.resultNote,
              "Note\uFF1AIf you find the relevant processes of Foo still running after removal, "
              "please restart macOS. The relevant processes of Foo will be removed automatically "
              "after the restart.");
    EXPECT_FALSE(flow.tipUntrustedApps);
}

TEST_F(Flow, ARemovalThatDidNotCompleteIsNotReportedAsASuccess) {
    // A file where the Trash folder should be: the bundle cannot be moved, and no daemon runs.
    vol.write(vol.home() + "/.Trash", "not a folder");
    removeYes(makeApp("/Applications/Foo.app", "Foo"));
    EXPECT_TRUE(flow.lastRemovalStarted);
    EXPECT_FALSE(flow.lastRemovalCompleted);
    EXPECT_EQ(flow.selectedTab, "Step_2") << "the user stays where a retry is one click away";
    EXPECT_EQ(flow.resultName, "Foo could not be removed.");
    EXPECT_TRUE(vol.exists("/Applications/Foo.app/Contents/Info.plist"));
}

TEST_F(Flow, LocationCheck) {
    struct Row {
        const char* path;
        bool accepted;
    };
    const Row rows[] = {
        {"/Applications/Foo.app", true},
        {"/Applications/Utilities/Foo.app", true},
        {"/Users/u/Applications/Foo.app", true},
        {"/Users/u/Desktop/Foo.app", true},
        {"/Library/PreferencePanes/Foo.prefPane", true},
        {"/Volumes/Ext/Foo.app", false},
        {"/Applications/Games/Sub/Foo.app", false},
        {"/Foo.app", false},
        {"/applications/foo.app", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        EXPECT_EQ(RemovalFlow::isSafeToRemove(r.path), r.accepted);
    }
}

TEST_F(Flow, OnlyYesStartsTheRemoval) {
    auto r = makeApp("/Applications/Foo.app", "Foo");
    flow.selected = r;
    for (int code : {RemovalFlow::kAlertNo, 0, 1002})
        flow.confirmationEnded(code);
    mainQueue.drain();
    EXPECT_TRUE(vol.exists("/Applications/Foo.app/Contents/Info.plist"));
    EXPECT_TRUE(server.waitForPosts(1, 0.5).empty());
}

}  // namespace
}  // namespace vendrel
