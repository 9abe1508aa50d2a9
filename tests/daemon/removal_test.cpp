// A removal end to end: the installed application's command line analyses and removes an
// application while the real daemon, reached through the XPC stand-in, does its root part,
// with the maker's server stand-in serving the removal database and taking the report.
//
// The volume (host folders under one temporary root):
//
//   /Applications/Foo.app                 the application, its agent's program inside
//   /Library/Application Support/Foo      system support folder (the daemon's sweep)
//   /Library/LaunchAgents/com.example.foo.agent.plist  Program inside Foo.app
//   /private/var/db/receipts/com.example.foo.bom
//   /Users/Shared/Foo
//   ~/Library/{Application Support/Foo, Caches/com.example.foo, Cookies/..., Containers/...,
//              Saved Application State/..., Preferences/Foo}
//   ~/FooDownloads                        removed only by the served command list ("~")
//   decoys: ~/Documents/Foo, ~/Library/Caches/com.example.fo, ~/Library/Caches/com.other.bar
#include <gtest/gtest.h>

#include "platform/trash.h"
#include "tests/daemon/daemon_fixture.h"
#include "tests/support/server.h"
#include "tests/support/vendrel_command.h"

namespace vendrel::test {
namespace {

class AppRemoval : public ::testing::Test {
  protected:
    void makeFoo(const std::string& bundle = "/Applications/Foo.app") {
        TempVolume& v = d.vol();
        v.makeBundle(bundle, {{"CFBundleName", "Foo"},
                              {"CFBundleIdentifier", "com.example.foo"},
                              {"CFBundleExecutable", "Foo"}});
        v.write(bundle + "/Contents/MacOS/Foo", std::string(2000, 'b'));
        v.write(bundle + "/Contents/Resources/data", std::string(500, 'd'));
        v.write("/Library/Application Support/Foo/state", "s");
        v.write("/Users/Shared/Foo/shared", "s");
        v.write("/private/var/db/receipts/com.example.foo.bom", "r");
        platform::plist::Dictionary agent{{"Label", "com.example.foo.agent"},
                                          {"Program", bundle + "/Contents/MacOS/Foo"}};
        v.write("/Library/LaunchAgents/com.example.foo.agent.plist",
                platform::plist::toXml(platform::plist::Value(agent)));
        const std::string h = v.home();
        for (const char* p :
             {"/Library/Application Support/Foo/db", "/Library/Caches/com.example.foo/c",
              "/Library/Cookies/com.example.foo.binarycookies",
              "/Library/Containers/com.example.foo/Data/x",
              "/Library/Saved Application State/com.example.foo.savedState/w",
              "/Library/Preferences/Foo/p", "/FooDownloads/big"})
            v.write(h + p, "x");
        for (const char* p : {"/Documents/Foo/essay.txt", "/Library/Caches/com.example.fo/keep",
                              "/Library/Caches/com.other.bar/keep"})
            v.write(h + p, "mine");
    }

    void serveCommandList() {
        server.put("/qd_default_update_rw/removal_database/foo.app.txt",
                   "rm -rf ~/FooDownloads\nrm -rf ~/Library/Caches/com.example.foo");
    }

    ProgramOutput remove(const std::vector<std::string>& extra = {"--yes", "--json"}) {
        std::vector<std::string> args{"remove", "Foo"};
        args.insert(args.end(), extra.begin(), extra.end());
        return d.app(args, {"VENDREL_SERVER_URL=" + server.url()});
    }

    bool decoysIntact() {
        const std::string h = d.vol().home();
        return d.vol().read(h + "/Documents/Foo/essay.txt") == "mine" &&
               d.vol().read(h + "/Library/Caches/com.example.fo/keep") == "mine" &&
               d.vol().read(h + "/Library/Caches/com.other.bar/keep") == "mine";
    }

    DaemonVolume d;
    TestServer server;
};

TEST_F(AppRemoval, RemovesEverythingThatBelongsToTheApplicationAndNothingElse) {
    d.installDaemon();
    makeFoo();
    serveCommandList();
    const ProgramOutput run = remove();
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const auto out = test::jsonOutput(run.out);
    EXPECT_TRUE(out["removed"].get<bool>());
    EXPECT_EQ(out["resultName"], "Foo has been successfully removed.");

    TempVolume& v = d.vol();
    const std::string h = v.home();
    EXPECT_FALSE(v.exists("/Applications/Foo.app"));
    EXPECT_TRUE(v.exists(h + "/.Trash/Foo.app")) << "the application moved the bundle";
    for (const char* gone : {"/Library/Application Support/Foo", "/Users/Shared/Foo",
                             "/private/var/db/receipts/com.example.foo.bom",
                             "/Library/LaunchAgents/com.example.foo.agent.plist"})
        EXPECT_FALSE(v.exists(gone)) << gone;
    for (const char* gone :
         {"/Library/Application Support/Foo", "/Library/Caches/com.example.foo",
          "/Library/Cookies/com.example.foo.binarycookies", "/Library/Containers/com.example.foo",
          "/Library/Saved Application State/com.example.foo.savedState",
          "/Library/Preferences/Foo"})
        EXPECT_FALSE(v.exists(h + gone)) << gone;
    // The command list ran as root with "~" standing for the user's home, not root's.
    EXPECT_TRUE(waitUntil([&] { return !v.exists(h + "/FooDownloads"); }));
    EXPECT_TRUE(decoysIntact());

    const auto posts = server.waitForPosts(1);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].path, "/ucloudcenter/uninstall.php");
    EXPECT_NE(posts[0].body.find("Foo"), std::string::npos);

    // Everything the application moved comes back; nothing is overwritten.
    const ProgramOutput restore = d.app({"restore", "--last"});
    EXPECT_EQ(restore.exitCode, 0) << restore.out;
    EXPECT_TRUE(v.exists("/Applications/Foo.app/Contents/MacOS/Foo"));
    EXPECT_TRUE(v.exists(h + "/Library/Containers/com.example.foo/Data/x"));
}

TEST_F(AppRemoval, AnsweringNoRemovesAndSendsNothing) {
    d.installDaemon();
    makeFoo();
    const ProgramOutput run = d.app({"remove", "Foo"}, {"VENDREL_SERVER_URL=" + server.url()});
    EXPECT_NE(run.out.find("Are you sure you want to remove Foo ?"), std::string::npos) << run.out;
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(d.vol().exists("/Applications/Foo.app/Contents/MacOS/Foo"));
    EXPECT_TRUE(d.vol().exists("/Library/Application Support/Foo/state"));
    EXPECT_TRUE(server.waitForPosts(1, 1.0).empty());
}

TEST_F(AppRemoval, ARefusedLocationSendsTheReportButRemovesNothing) {
    d.installDaemon();
    makeFoo("/Applications/Games/Sub/Foo.app");
    const ProgramOutput run = d.app({"remove", "/Applications/Games/Sub/Foo.app", "--yes"},
                                    {"VENDREL_SERVER_URL=" + server.url()});
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_TRUE(d.vol().exists("/Applications/Games/Sub/Foo.app/Contents/MacOS/Foo"));
    EXPECT_TRUE(d.vol().exists("/Library/Application Support/Foo/state"));
    EXPECT_EQ(server.waitForPosts(1).size(), 1u);
}

TEST_F(AppRemoval, WithoutTheDaemonTheApplicationsOwnPartStillRuns) {
    makeFoo();
    const ProgramOutput run = remove();
    EXPECT_EQ(run.exitCode, 0) << run.out;
    TempVolume& v = d.vol();
    EXPECT_FALSE(v.exists("/Applications/Foo.app"));
    EXPECT_FALSE(v.exists(v.home() + "/Library/Caches/com.example.foo"));
    EXPECT_TRUE(v.exists(v.home() + "/FooDownloads/big")) << "no command list without the daemon";
    EXPECT_TRUE(decoysIntact());
}

}  // namespace
}  // namespace vendrel::test
