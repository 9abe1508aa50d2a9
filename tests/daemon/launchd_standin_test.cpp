// The launchd stand-in runs as root over a volume full of other programs' launch daemons:
// it must run only the jobs it is allowed to, and a job that cannot start must not leave its
// clients waiting.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "common/daemon_messages.h"
#include "platform/launchd.h"
#include "platform/plist.h"
#include "tests/daemon/daemon_fixture.h"

namespace vendrel::test {
namespace {

namespace plist = platform::plist;

TEST(LaunchdStandIn, RunsOnlyAllowedJobs) {
    DaemonVolume d;
    // A leftover job of another product, with a program that would leave a mark.
    d.vol().write("/Library/Helpers/evil", "#!/bin/sh\ntouch \"$0.ran\"\n");
    ::chmod(d.vol().host("/Library/Helpers/evil").c_str(), 0755);
    const std::string evilJob = "/Library/LaunchDaemons/com.example.evil.plist";
    d.vol().mkdir("/Library/LaunchDaemons");
    ASSERT_TRUE(plist::writeXmlFile(
        evilJob, plist::Dictionary{{"Label", "com.example.evil"},
                                   {"Program", "/Library/Helpers/evil"},
                                   {"MachServices", plist::Dictionary{{"com.example.evil", true}}},
                                   {"KeepAlive", true}}));
    d.startLaunchd();
    auto load = platform::launchd::load(evilJob);
    EXPECT_TRUE(load.reached);
    EXPECT_FALSE(load.ok);
    EXPECT_NE(load.text.find("not allowed"), std::string::npos) << load.text;
    EXPECT_EQ(platform::launchd::list().text, "");
    EXPECT_FALSE(d.vol().exists("/Library/Helpers/evil.ran"));
}

TEST(LaunchdStandIn, AJobWithoutItsProgramTurnsClientsAway) {
    DaemonVolume d;
    d.installDaemon();
    // Its program vanished (as after a self-removal that did not unload the job).
    ASSERT_EQ(d.app({"daemon-send", "kill-self"}).exitCode, 0);
    ASSERT_TRUE(waitUntil([&] { return !d.daemonPid(); }));
    auto job = plist::Dictionary{
        {"Label", std::string(daemon_messages::kLabel)},
        {"Program", std::string(daemon_messages::kInstalledExecutable)},
        {"MachServices", plist::Dictionary{{std::string(daemon_messages::kServiceName), true}}}};
    ASSERT_TRUE(plist::writeXmlFile("/Library/LaunchDaemons/gone.plist", job));
    ASSERT_TRUE(platform::launchd::load("/Library/LaunchDaemons/gone.plist").ok);
    // The client is refused at once instead of waiting out its time-out.
    auto run = d.app({"daemon-send", "delete-folders-files", "--timeout", "20"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_FALSE(d.daemonPid());
}

// A stranger may not talk to the control socket at all; root may not be made to load a
// job that a user wrote or whose program a user may change.
TEST(LaunchdStandIn, ObeysOnlyRootAndJobsOnlyRootCouldWrite) {
    DaemonVolume d;
    d.startLaunchd();
    const std::string label(daemon_messages::kLabel);
    // A user's script that would leave a mark if it ran as root.
    d.vol().write("/Users/tester/evil", "#!/bin/sh\ntouch \"$0.ran\"\nsleep 60\n");
    ::chmod(d.vol().host("/Users/tester/evil").c_str(), 0755);
    d.vol().write("/Library/Helpers/evil-shared", "#!/bin/sh\ntouch \"$0.ran\"\nsleep 60\n");
    ::chmod(d.vol().host("/Library/Helpers/evil-shared").c_str(), 0777);
    auto job = [&](const std::string& path, const std::string& program, uid_t owner, int mode) {
        ASSERT_TRUE(plist::writeXmlFile(
            path, plist::Dictionary{{"Label", label}, {"Program", program}, {"KeepAlive", true}}));
        ASSERT_EQ(::chown(d.vol().host(path).c_str(), owner, owner), 0);
        ASSERT_EQ(::chmod(d.vol().host(path).c_str(), static_cast<mode_t>(mode)), 0);
    };
    ::chown(d.vol().host("/Users/tester/evil").c_str(), 65534, 65534);
    d.vol().mkdir("/Library/LaunchDaemons");
    struct Row {
        const char* name;
        std::string path;
        std::string program;
        uid_t owner;
        int mode;
        const char* why;  // in the load's answer, or in the stand-in's log at start
    };
    const Row rows[] = {
        {"a user's job file", "/Library/LaunchDaemons/user.plist", "/Users/tester/evil", 65534,
         0644, "owned by user 65534"},
        {"a job file others may write", "/Library/LaunchDaemons/shared.plist", "/Users/tester/evil",
         0, 0666, "may be changed by other users"},
        {"a job file outside the system's folder", "/Users/tester/job.plist", "/Users/tester/evil",
         0, 0644, "jobs load only from"},
        {"a user's program", "/Library/LaunchDaemons/prog.plist", "/Users/tester/evil", 0, 0644,
         "owned by user 65534, not by root"},
        {"a program others may write", "/Library/LaunchDaemons/prog2.plist",
         "/Library/Helpers/evil-shared", 0, 0644, "may be changed by other users"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        job(row.path, row.program, row.owner, row.mode);
        const auto answer = platform::launchd::load(row.path);
        const std::string said = answer.text + d.vol().read("/launchd.log");
        EXPECT_NE(said.find(row.why), std::string::npos) << said;
        platform::launchd::unload(label);
    }
    EXPECT_FALSE(d.vol().exists("/Users/tester/evil.ran"));
    EXPECT_FALSE(d.vol().exists("/Library/Helpers/evil-shared.ran"));

    // A stranger cannot even list the jobs.
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(2);
        const auto reply = platform::launchd::list();
        ::_exit(reply.reached && reply.ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
}

// A KeepAlive job whose program is missing is retried once per throttle, not in a loop.
TEST(LaunchdStandIn, AJobThatCannotStartIsThrottled) {
    ScopedEnv scale("VENDREL_TIME_SCALE", "0.1");  // a throttle of one second
    DaemonVolume d;
    d.startLaunchd();
    d.vol().mkdir("/Library/LaunchDaemons");
    const std::string path = "/Library/LaunchDaemons/gone.plist";
    ASSERT_TRUE(
        plist::writeXmlFile(path, plist::Dictionary{{"Label", std::string(daemon_messages::kLabel)},
                                                    {"Program", "/Library/Helpers/missing"},
                                                    {"KeepAlive", true}}));
    platform::launchd::load(path);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    const std::string log = d.vol().read("/launchd.log");
    size_t starts = 0;
    for (size_t p = log.find("cannot start"); p != std::string::npos;
         p = log.find("cannot start", p + 1))
        ++starts;
    // The load's own try, and one per second since: never the fifty a 50 ms loop makes.
    EXPECT_GE(starts, 1u);
    EXPECT_LE(starts, 4u) << log;
}

}  // namespace
}  // namespace vendrel::test
