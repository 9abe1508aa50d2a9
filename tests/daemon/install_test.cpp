// Installing and replacing the daemon through the application: the version handshake, the
// authorization answers and the blessing stand-in, with the real launchd stand-in running.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include "common/daemon_messages.h"
#include "platform/plist.h"
#include "tests/daemon/daemon_fixture.h"

namespace vendrel::test {
namespace {

namespace msg = daemon_messages;
namespace plist = platform::plist;

constexpr const char* kRunningLine =
    "com.Vendrel.Ostrand.DaemonServer Version 1.189 NSXPC is running...";

TEST(DaemonInstall, FromAnEmptyVolumeInstallsAndStartsTheDaemon) {
    DaemonVolume d;
    d.startLaunchd();
    auto run = d.app({"install-helper"}, {"VENDREL_AUTH=allow"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("was installed"), std::string::npos);

    struct stat st {};
    ASSERT_EQ(::stat(d.vol().host(msg::kInstalledExecutable).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0544u);
    auto job = plist::readDictionary(msg::kInstalledLaunchdPlist);
    ASSERT_TRUE(job);
    EXPECT_EQ(*plist::stringForKey(*job, "DaemonServer Version"), "1.189");
    EXPECT_EQ(*plist::stringForKey(*job, "Label"), "com.Vendrel.Ostrand.DaemonServer");
    EXPECT_EQ(*plist::stringForKey(*job, "Program"), msg::kInstalledExecutable);
    EXPECT_EQ(*plist::valueForKey(*job, "MachServices"),
              plist::Value(plist::Dictionary{{"com.Vendrel.Ostrand.DaemonServer", true}}));
    EXPECT_EQ(*plist::valueForKey(*job, "KeepAlive"),
              plist::Value(plist::Dictionary{{"SuccessfulExit", false}}));

    ASSERT_TRUE(d.waitForLogCount(kRunningLine, 1));
    // Nothing was installed before, so nobody was asked to leave.
    EXPECT_EQ(d.logCount("NSXPC Listener: MSG KillSelf..."), 0);
    EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesFailed);
}

TEST(DaemonInstall, SameVersionInAnyCaseDoesNothing) {
    DaemonVolume d;
    const int pid = d.installDaemon();
    // Versions compare ignoring letter case, and digit runs by value.
    auto job = *plist::readDictionary(msg::kInstalledLaunchdPlist);
    job["DaemonServer Version"] = "1.189a";
    ASSERT_TRUE(plist::writeXmlFile(msg::kInstalledLaunchdPlist, job));
    auto info = *plist::readDictionary("/Applications/Vendrel.app/Contents/Info.plist");
    for (const char* version : {"1.189a", "1.189A", "1.0189a"}) {
        SCOPED_TRACE(version);
        info["DaemonServer Version"] = version;
        ASSERT_TRUE(plist::writeXmlFile("/Applications/Vendrel.app/Contents/Info.plist", info));
        auto run = d.app({"install-helper"}, {"VENDREL_AUTH=deny"});
        EXPECT_EQ(run.exitCode, 0) << run.out;
        EXPECT_NE(run.out.find("installed and current"), std::string::npos);
    }
    EXPECT_EQ(d.daemonPid(), pid);
    EXPECT_EQ(d.logCount("NSXPC Listener: MSG KillSelf..."), 0);
}

TEST(DaemonInstall, DifferentVersionIsAskedToLeaveAndReplaced) {
    DaemonVolume d;
    const int oldPid = d.installDaemon();
    auto job = *plist::readDictionary(msg::kInstalledLaunchdPlist);
    job["DaemonServer Version"] = "1.188";
    ASSERT_TRUE(plist::writeXmlFile(msg::kInstalledLaunchdPlist, job));

    auto run = d.app({"install-helper"}, {"VENDREL_AUTH=allow"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // The old daemon went through its self-removal and ended (its version is the one it read
    // at start); the new one runs.
    for (const char* line :
         {"NSXPC Listener: MSG KillSelf...", "NSXPC Listener: MSG KillSelf Delete Server...",
          "NSXPC Listener: MSG KillSelf Delete plist...",
          "NSXPC Listener: MSG KillSelf Unload Server...",
          "com.Vendrel.Ostrand.DaemonServer Version 1.189 NSXPC is exits"}) {
        SCOPED_TRACE(line);
        EXPECT_TRUE(d.waitForLogCount(line, 1));
    }
    ASSERT_TRUE(d.waitForLogCount(kRunningLine, 2));
    ASSERT_TRUE(waitUntil([&] { return d.daemonPid() && d.daemonPid() != oldPid; }));
    EXPECT_EQ(::kill(oldPid, 0), -1);
    EXPECT_EQ(*plist::stringForKey(*plist::readDictionary(msg::kInstalledLaunchdPlist),
                                   "DaemonServer Version"),
              "1.189");
    EXPECT_TRUE(d.vol().exists(msg::kInstalledExecutable));
    EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesFailed);
}

TEST(DaemonInstall, AMissingVersionReadsAsNULL) {
    DaemonVolume d;
    int pid = d.installDaemon();
    const std::string infoPath = "/Applications/Vendrel.app/Contents/Info.plist";
    auto info = *plist::readDictionary(infoPath);
    info.erase("DaemonServer Version");
    ASSERT_TRUE(plist::writeXmlFile(infoPath, info));
    struct Case {
        const char* name;
        bool installedHasVersion;
        bool reinstalled;
    };
    // "NULL" against "1.189" differs at every start; "NULL" against "NULL" is equal.
    const Case cases[] = {
        {"application lacks it", true, true},
        {"application still lacks it", true, true},
        {"both lack it", false, false},
    };
    int killSelves = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto job = *plist::readDictionary(msg::kInstalledLaunchdPlist);
        if (!c.installedHasVersion)
            job.erase("DaemonServer Version");
        ASSERT_TRUE(plist::writeXmlFile(msg::kInstalledLaunchdPlist, job));
        auto run = d.app({"install-helper"}, {"VENDREL_AUTH=allow"});
        EXPECT_EQ(run.exitCode, 0) << run.out;
        EXPECT_NE(run.out.find(c.reinstalled ? "was installed" : "installed and current"),
                  std::string::npos)
            << run.out;
        if (c.reinstalled) {
            ++killSelves;
            EXPECT_TRUE(d.waitForLogCount("NSXPC Listener: MSG KillSelf...", killSelves));
            ASSERT_TRUE(waitUntil([&] { return d.daemonPid() && d.daemonPid() != pid; }));
            pid = *d.daemonPid();
        }
    }
    EXPECT_EQ(d.logCount("NSXPC Listener: MSG KillSelf..."), killSelves);
    // A daemon started on a launchd list without the version says so.
    ::kill(pid, SIGKILL);
    EXPECT_TRUE(
        d.waitForLogCount("com.Vendrel.Ostrand.DaemonServer Version NULL NSXPC is running...", 1));
}

TEST(DaemonInstall, AuthorizationAnswersAndRefusedCallers) {
    struct Case {
        const char* name;
        const char* auth;
        const char* bundleIdentifier;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {"denied", "deny", "com.Vendrel.Ostrand", 1, "NSOSStatusErrorDomain -60005"},
        {"cancelled: the application quits", "cancel", "com.Vendrel.Ostrand", 3, "cancelled"},
        {"a caller the helper does not accept", "allow", "com.example.Other", 1,
         "CFErrorDomainLaunchd 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DaemonVolume d;
        auto info = *plist::readDictionary("/Applications/Vendrel.app/Contents/Info.plist");
        info["CFBundleIdentifier"] = c.bundleIdentifier;
        ASSERT_TRUE(plist::writeXmlFile("/Applications/Vendrel.app/Contents/Info.plist", info));
        auto run = runProgram({d.appExecutable(), "install-helper"}, /*withErrors=*/true,
                              {std::string("VENDREL_AUTH=") + c.auth});
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.out.find(c.says), std::string::npos) << run.out;
        EXPECT_FALSE(d.vol().exists(msg::kInstalledExecutable));
        EXPECT_FALSE(d.vol().exists(msg::kInstalledLaunchdPlist));
    }
}

}  // namespace
}  // namespace vendrel::test
