// The removal flow in process: the report rule, the location check, and a removal that did
// not complete. The report goes to the real server stand-in; without an installed daemon the
// request finds nobody (as on a machine where the helper was never installed).
#include "app/removal/removal_flow.h"

#include <gtest/gtest.h>

#include "app/catalogue/catalogue.h"
#include "app/cli/services.h"
#include "tests/support/server.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

class Flow : public ::testing::Test {
  protected:
    InstalledAppRef makeApp(const std::string& bundle, const std::string& name) {
        vol.makeBundle(bundle, {{"CFBundleName", name}, {"CFBundleIdentifier", "com.example.x"}});
        auto r = std::make_shared<lib_TargetInstalledAppInfo>();
        r->mpu_str_Name.set(name);
        r->mpu_str_InstallPath.set(bundle);
        r->mpu_str_Publisher.set("com.example.x");
        r->mpu_str_DirCount.set("2");
        r->mpu_str_FileCount.set("1");
        r->mpu_str_Size.set("300 Bytes");
        return r;
    }
    // Removes one record through the confirmation's "YES"; the queued report runs after it.
    void removeYes(const InstalledAppRef& r) {
        flow.mpr_class_InstalledAppInfo_Seled = r;
        flow.alertDidEnd_RemoveSeledInstalledApp(RemovalFlow::kAlertYes);
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
    cli::finishOnlineWork();
    EXPECT_EQ(reportedNames(3), (std::vector<std::string>{"Foo", "Bar", "Foo"}));
}

TEST_F(Flow, ResultTextsAfterASuccessfulRemoval) {
    removeYes(makeApp("/Applications/Utilities/Foo.app", "Foo"));
    EXPECT_TRUE(flow.lastRemovalCompleted);
    EXPECT_EQ(flow.selectedTab, "Step_US");
    EXPECT_EQ(flow.mpu_TF_SeledRemoveSuccess_AppName, "Foo has been successfully removed.");
    EXPECT_EQ(flow.mpu_TF_SeledRemoveSuccess_AppDirsFiles,
              "Altogether 2 folders and 1 files were deleted, freed 300 Bytes space.");
    EXPECT_EQ(flow.mpu_TF_SeledRemoveSuccess_Note,
              "Note\uFF1AIf you find the relevant processes of Foo still running after removal, "
              "please restart macOS. The relevant processes of Foo will be removed automatically "
              "after the restart.");
    EXPECT_FALSE(flow.mpr_bool_IsTipUntrustedApps);
}

TEST_F(Flow, ARemovalThatDidNotCompleteIsNotReportedAsASuccess) {
    // A file where the Trash folder should be: the bundle cannot be moved, and no daemon runs.
    vol.write(vol.home() + "/.Trash", "not a folder");
    removeYes(makeApp("/Applications/Foo.app", "Foo"));
    EXPECT_TRUE(flow.lastRemovalStarted);
    EXPECT_FALSE(flow.lastRemovalCompleted);
    EXPECT_EQ(flow.selectedTab, "Step_2") << "the user stays where a retry is one click away";
    EXPECT_EQ(flow.mpu_TF_SeledRemoveSuccess_AppName, "Foo could not be removed.");
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
        EXPECT_EQ(RemovalFlow::mpr_fun_IsCanSafeDeletePath_InstalledAppSeledRemove(r.path),
                  r.accepted);
    }
}

TEST_F(Flow, OnlyYesStartsTheRemoval) {
    auto r = makeApp("/Applications/Foo.app", "Foo");
    flow.mpr_class_InstalledAppInfo_Seled = r;
    for (int code : {RemovalFlow::kAlertNo, 0, 1002})
        flow.alertDidEnd_RemoveSeledInstalledApp(code);
    mainQueue.drain();
    EXPECT_TRUE(vol.exists("/Applications/Foo.app/Contents/Info.plist"));
    EXPECT_TRUE(server.waitForPosts(1, 0.5).empty());
}

}  // namespace
}  // namespace vendrel
