#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/child.h"
#include "tests/support/child_process.h"
#include "tests/support/volume.h"

namespace vendrel::platform {
namespace {

namespace stdfs = std::filesystem;
using test::Child;
using test::installProgram;
using test::TempVolume;

std::optional<RunningApplication> find(int pid) {
    for (const auto& app : runningApplications())
        if (app.pid == pid)
            return app;
    return std::nullopt;
}

TEST(RunningApplications, ListsBundledProgramsOnTheVolumeOnly) {
    TempVolume vol;
    vol.makeBundle("/Applications/Foo.app", {{"CFBundleName", "Foo Name"}});
    vol.makeBundle("/Applications/Foo.app/Contents/Helpers/Foo Helper.app",
                   {{"CFBundleName", "Foo Helper"}}, /*binary=*/true);
    vol.mkdir("/Applications/Bare.app/Contents");  // no Info.plist
    vol.makeBundle("/Applications/Unnamed.app", {{"CFBundleIdentifier", "com.unnamed"}});
    // A bundle outside the volume root, as the host or another volume would hold it.
    std::string outside = (stdfs::temp_directory_path() / "vendrel-outside-XXXXXX").string();
    ASSERT_NE(::mkdtemp(outside.data()), nullptr);
    struct RemoveOutside {
        std::string path;
        ~RemoveOutside() { stdfs::remove_all(path); }
    } removeOutside{outside};
    const std::string outsideApp = outside + "/Other.app/Contents/MacOS/Other";
    stdfs::create_directories(stdfs::path(outsideApp).parent_path());
    stdfs::copy_file("/bin/sleep", outsideApp);

    struct Program {
        std::string executable;             // logical; the last one is a host path off the volume
        std::optional<std::string> bundle;  // expected bundle path; nullopt: not listed
        std::optional<std::string> name;
    };
    const Program programs[] = {
        {"/Applications/Foo.app/Contents/MacOS/Foo", "/Applications/Foo.app", "Foo Name"},
        {"/Applications/Foo.app/Contents/Helpers/Foo Helper.app/Contents/MacOS/helper",
         "/Applications/Foo.app/Contents/Helpers/Foo Helper.app", "Foo Helper"},
        {"/Applications/Bare.app/Contents/MacOS/Bare", "/Applications/Bare.app", std::nullopt},
        {"/Applications/Unnamed.app/Contents/MacOS/Unnamed", "/Applications/Unnamed.app",
         std::nullopt},
        {"/usr/local/bin/foo-daemon", std::nullopt, std::nullopt},
        {"/Applications/Foo.app/Contents/Resources/tool", std::nullopt, std::nullopt},
        {"/Applications/Foo.app/Contents/MacOS/sub/deeper", std::nullopt, std::nullopt},
        {"/Library/NotABundle/Contents/MacOS/x", std::nullopt, std::nullopt},
        {outsideApp, std::nullopt, std::nullopt},
    };
    std::vector<std::unique_ptr<Child>> children;
    for (const auto& p : programs) {
        const bool onVolume = p.executable != outsideApp;
        if (onVolume)
            installProgram(vol, p.executable);
        children.push_back(std::make_unique<Child>(onVolume ? vol.host(p.executable) : outsideApp));
        ASSERT_GT(children.back()->pid(), 0) << p.executable;
    }

    const auto apps = runningApplications();
    for (size_t i = 0; i < std::size(programs); ++i) {
        SCOPED_TRACE(programs[i].executable);
        const auto it = std::find_if(apps.begin(), apps.end(),
                                     [&](const auto& a) { return a.pid == children[i]->pid(); });
        if (!programs[i].bundle) {
            EXPECT_EQ(it, apps.end());
            continue;
        }
        ASSERT_NE(it, apps.end());
        EXPECT_EQ(it->bundlePath, *programs[i].bundle);
        EXPECT_EQ(it->bundleName, programs[i].name);
        EXPECT_GT(it->startTime, 0u);
    }
    EXPECT_TRUE(std::is_sorted(apps.begin(), apps.end(), [](const auto& a, const auto& b) {
        return a.startTime != b.startTime ? a.startTime < b.startTime : a.pid < b.pid;
    }));
}

// A program keeps running after its file is deleted or its bundle is moved (to the Trash,
// say); it still belongs to the bundle the kernel now reports.
TEST(RunningApplications, FollowsDeletedAndMovedExecutables) {
    TempVolume vol;
    vol.makeBundle("/Applications/Gone.app", {{"CFBundleName", "Gone"}});
    vol.makeBundle("/Applications/Moved.app", {{"CFBundleName", "Moved"}});
    installProgram(vol, "/Applications/Gone.app/Contents/MacOS/Gone");
    installProgram(vol, "/Applications/Moved.app/Contents/MacOS/Moved");
    Child gone(vol.host("/Applications/Gone.app/Contents/MacOS/Gone"));
    Child moved(vol.host("/Applications/Moved.app/Contents/MacOS/Moved"));

    stdfs::remove(vol.host("/Applications/Gone.app/Contents/MacOS/Gone"));
    vol.mkdir(vol.home() + "/.Trash");
    stdfs::rename(vol.host("/Applications/Moved.app"), vol.host(vol.home() + "/.Trash/Moved.app"));

    const auto g = find(gone.pid());
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(g->bundlePath, "/Applications/Gone.app");
    EXPECT_EQ(g->bundleName, "Gone");
    const auto m = find(moved.pid());
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->bundlePath, vol.home() + "/.Trash/Moved.app");
    EXPECT_EQ(m->bundleName, "Moved");
}

// A child that never ends is killed at its bound and reaped, instead of holding its caller
// (the daemon's one request at a time) for ever.
TEST(ChildPrograms, AChildPastItsBoundIsKilled) {
    const auto done = runAndWait({"/bin/sleep", "30"}, 0.2);
    EXPECT_TRUE(done.started);
    EXPECT_TRUE(done.timedOut);
    const auto quick = runAndWait({"/bin/true"});
    EXPECT_FALSE(quick.timedOut);
    EXPECT_EQ(quick.exitCode, 0);
}

TEST(ForceTerminate, KillsTheListedProcess) {
    TempVolume vol;
    vol.makeBundle("/Applications/Foo.app", {{"CFBundleName", "Foo"}});
    installProgram(vol, "/Applications/Foo.app/Contents/MacOS/Foo");
    Child child(vol.host("/Applications/Foo.app/Contents/MacOS/Foo"));
    const auto app = find(child.pid());
    ASSERT_TRUE(app.has_value());

    EXPECT_TRUE(forceTerminate(*app));
    const int status = child.wait();
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    // The pid is gone now; a second attempt finds nothing to stop.
    EXPECT_FALSE(forceTerminate(*app));
}

// A record whose start time no longer matches stands for a process that has exited; its
// pid may since name another process, which must not be touched.
TEST(ForceTerminate, SparesAProcessThatReusedThePid) {
    TempVolume vol;
    vol.makeBundle("/Applications/Foo.app", {{"CFBundleName", "Foo"}});
    installProgram(vol, "/Applications/Foo.app/Contents/MacOS/Foo");
    Child child(vol.host("/Applications/Foo.app/Contents/MacOS/Foo"));
    const auto app = find(child.pid());
    ASSERT_TRUE(app.has_value());

    for (uint64_t otherStart : {app->startTime + 1, app->startTime - 1, uint64_t{0}}) {
        RunningApplication stale = *app;
        stale.startTime = otherStart;
        EXPECT_FALSE(forceTerminate(stale)) << otherStart;
    }
    EXPECT_TRUE(child.running());
}

}  // namespace
}  // namespace vendrel::platform
