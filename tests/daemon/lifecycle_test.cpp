// The daemon's life under the launchd stand-in: start on demand, restart after a crash,
// leaving on request, the self-removal, and who may make it act.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "common/daemon_messages.h"
#include "platform/launchd.h"
#include "platform/xpc.h"
#include "tests/daemon/daemon_fixture.h"

namespace vendrel::test {
namespace {

namespace msg = daemon_messages;

constexpr const char* kRunningLine =
    "com.Vendrel.Ostrand.DaemonServer Version 1.189 NSXPC is running...";
constexpr const char* kExitLine = "com.Vendrel.Ostrand.DaemonServer Version 1.189 NSXPC is exits";

bool processGone(int pid) {
    return waitUntil([pid] { return ::kill(pid, 0) != 0; });
}

TEST(DaemonLifecycle, CleanExitStaysDownUntilAClientConnects) {
    DaemonVolume d;
    const int pid = d.installDaemon();
    ::kill(pid, SIGTERM);  // launchd's stop: the daemon ends with status 0
    ASSERT_TRUE(d.waitForLogCount(kExitLine, 1));
    ASSERT_TRUE(waitUntil([&] { return !d.daemonPid(); }));
    // Exit status 0: not started again by itself.
    waitUntil([] { return false; }, 0.3);
    EXPECT_FALSE(d.daemonPid());
    EXPECT_EQ(d.logCount(kRunningLine), 1);

    EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesFailed);
    EXPECT_EQ(d.logCount(kRunningLine), 2);
    EXPECT_TRUE(d.daemonPid());
}

TEST(DaemonLifecycle, StartedByHandWithoutAnInstallation) {
    DaemonVolume d;
    // No launchd stand-in and no launchd list: the daemon binds the service socket itself.
    const pid_t pid = startProcess({builtProgram(std::string(msg::kLabel))});
    EXPECT_TRUE(d.waitForLogCount("NSXPC cant not find com.Vendrel.Ostrand.DaemonServer.plist", 1));
    EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesFailed);
    ::kill(pid, SIGTERM);
    EXPECT_EQ(waitProgram(pid), 0);
    EXPECT_EQ(d.logCount("com.Vendrel.Ostrand.DaemonServer Version NULL NSXPC is exits"), 1);
    EXPECT_FALSE(d.vol().exists(platform::xpc::serviceSocketPath(msg::kServiceName)));
}

TEST(DaemonLifecycle, CrashIsFollowedByARestart) {
    DaemonVolume d;
    const int pid = d.installDaemon();
    ::kill(pid, SIGKILL);
    ASSERT_TRUE(d.waitForLogCount(kRunningLine, 2));
    ASSERT_TRUE(waitUntil([&] { return d.daemonPid() && d.daemonPid() != pid; }));
    EXPECT_EQ(d.logCount(kExitLine), 0);
    EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesFailed);
}

TEST(DaemonLifecycle, KillSelfRemovesTheInstallationRepliesAndEnds) {
    DaemonVolume d;
    const int pid = d.installDaemon();
    EXPECT_EQ(d.send("kill-self"), msg::kReplyKillSelf);
    EXPECT_FALSE(d.vol().exists(msg::kInstalledExecutable));
    EXPECT_FALSE(d.vol().exists(msg::kInstalledLaunchdPlist));
    EXPECT_TRUE(processGone(pid));
    EXPECT_TRUE(d.waitForLogCount(kExitLine, 1));
    // Unloaded: launchd no longer knows the job, and nobody serves the service.
    EXPECT_EQ(platform::launchd::list().text, "");
    EXPECT_EQ(platform::xpc::connectToService(msg::kServiceName), nullptr);
}

TEST(DaemonLifecycle, SelfRemovalRequestEndsTheDaemonWithoutAReply) {
    DaemonVolume d;
    const int pid = d.installDaemon();
    d.vol().write("/Library/Application Support/Vendrel/state", "x");
    request_files::FolderList f = d.folderListFor("/Applications/Vendrel.app", "Vendrel");
    f.bundleId = "com.Vendrel.Ostrand";
    d.writeRequest(f);

    auto run = d.app({"daemon-send", "delete-folders-files", "--timeout", "20"});
    // The self-removal stops the application itself, the sender included.
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.out.find(msg::kReplyDeleteFoldersFilesSuccess), std::string::npos);
    EXPECT_TRUE(processGone(pid));
    EXPECT_EQ(
        d.logCount("MSG DeleteFoldersFiles: Vendrel -> /Applications/Vendrel.app -> /Users/tester"),
        1);
    EXPECT_EQ(d.logCount("NSXPC Listener: MSG KillSelf Delete plist..."), 1);
    EXPECT_EQ(d.logCount("NSXPC Listener: MSG KillSelf Unload Server..."), 0);
    EXPECT_EQ(d.logCount(kExitLine), 0);
    for (const auto* gone :
         {"/Applications/Vendrel.app", "/Library/Application Support/Vendrel",
          msg::kInstalledExecutable.data(), msg::kInstalledLaunchdPlist.data()}) {
        SCOPED_TRACE(gone);
        EXPECT_FALSE(d.vol().exists(gone));
    }
}

TEST(DaemonLifecycle, StrangersAreRefusedWhateverTheirUser) {
    DaemonVolume d;
    d.installDaemon();
    d.vol().makeBundle("/Applications/Foo.app", {{"CFBundleName", "Foo"}});
    d.writeRequest(d.folderListFor("/Applications/Foo.app", "Foo"));
    // A copy of the application elsewhere on the volume is not the installed application.
    const std::string copy = d.vol().host("/Applications/Copy.app/Contents/MacOS/Vendrel");
    std::filesystem::create_directories(std::filesystem::path(copy).parent_path());
    std::filesystem::copy_file(d.appExecutable(), copy);

    struct Case {
        const char* name;
        std::function<std::optional<std::string>()> send;
    };
    const Case cases[] = {
        {"this test process",
         [] {
             auto c = platform::xpc::connectToService(msg::kServiceName);
             if (!c || !c->send(msg::payloadOf(msg::Message::DeleteFoldersFiles)))
                 return std::optional<std::string>();
             return c->receive(10);
         }},
        {"a copy of Vendrel on the volume",
         [&] {
             auto r = runProgram({copy, "daemon-send", "delete-folders-files", "--timeout", "10"},
                                 /*withErrors=*/true);
             return r.exitCode == 0 ? std::optional<std::string>(r.out) : std::nullopt;
         }},
        {"the build's Vendrel outside the volume",
         [] {
             auto r = runProgram({builtProgram("Vendrel"), "daemon-send", "delete-folders-files",
                                  "--timeout", "10"},
                                 /*withErrors=*/true);
             return r.exitCode == 0 ? std::optional<std::string>(r.out) : std::nullopt;
         }},
    };
    int refused = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.send(), std::nullopt);
        ++refused;
        EXPECT_TRUE(waitUntil([&] {
            std::string log = d.log();
            int n = 0;
            for (size_t p = log.find("refused a client that is not Vendrel");
                 p != std::string::npos;
                 p = log.find("refused a client that is not Vendrel", p + 1))
                ++n;
            return n == refused;
        }));
    }
    EXPECT_TRUE(d.vol().exists("/Applications/Foo.app/Contents/Info.plist"));
    EXPECT_EQ(d.logCount("NSXPC Listener: MSG DeleteFoldersFiles..."), 0);
    // The installed application itself is served.
    EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesSuccess);
    EXPECT_FALSE(d.vol().exists("/Applications/Foo.app"));
}

}  // namespace
}  // namespace vendrel::test
