// The launchd stand-in runs as root over a volume full of other programs' launch daemons:
// it must run only the jobs it is allowed to, and a job that cannot start must not leave its
// clients waiting.
#include <gtest/gtest.h>
#include <sys/stat.h>

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

}  // namespace
}  // namespace vendrel::test
