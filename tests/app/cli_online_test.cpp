// The command-line removal's online side, run as a real process against the server stand-in.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>

#include "platform/http.h"

#include "tests/support/child_process.h"
#include "tests/support/server.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

TEST(VendrelRemoveOnline, ReportsTheRemovedApplicationOnce) {
    test::TempVolume vol;
    test::ScopedEnv bundle("VENDREL_APP_BUNDLE", "/Applications/Vendrel.app");
    vol.mkdir("/Applications/Vendrel.app/Contents");
    vol.write("/System/Library/CoreServices/SystemVersion.plist",
              platform::plist::toXml(platform::plist::Dictionary{{"ProductVersion", "10.11.6"}}));
    vol.makeBundle("/Applications/Dark Zipper.app",
                   {{"CFBundleName", "Dark Zipper"}, {"CFBundleIdentifier", "com.dz"}});
    vol.write("/Applications/Dark Zipper.app/Contents/Resources/a.bin", "payload");
    vol.write("/Users/tester/.darkzipper/config", "x");
    test::TestServer server;
    server.put("/qd_default_update_rw/removal_database/dark-zipper.app.txt",
               "rm -rf \"~/.darkzipper\"\n");

    auto run = test::runProgram({test::builtProgram("Vendrel"), "remove", "Dark Zipper", "--yes"},
                                /*withErrors=*/true);
    EXPECT_EQ(run.exitCode, 0) << run.out;

    // The post left before the program ended.
    const auto posts = server.posts();
    ASSERT_EQ(posts.size(), 1u) << run.out;
    EXPECT_EQ(posts[0].path, "/ucloudcenter/uninstall.php");
    const std::regex form(
        "softwarename=Dark Zipper&os=[^&]+&os_32_64=64&cd_key=\\{[0-9A-F-]{36}\\}");
    EXPECT_TRUE(std::regex_match(posts[0].body, form)) << posts[0].body;
}

// A server that accepts and never answers costs the command one time-out in all, and the
// results reach a pipe before the wait for the report. When only the report hangs, the
// results come out long before the command ends; when the removal database hangs too, its
// time-out is the budget, and exit adds no grace period for the report on top.
TEST(VendrelRemoveOnline, SilentServerCostsOneTimeOutAndResultsComeFirst) {
    using Clock = std::chrono::steady_clock;
    struct Case {
        const char* name;
        bool databaseHangs;
    };
    for (const Case c : {Case{"report hangs", false}, Case{"database and report hang", true}}) {
        SCOPED_TRACE(c.name);
        test::TempVolume vol;
        test::ScopedEnv bundle("VENDREL_APP_BUNDLE", "/Applications/Vendrel.app");
        vol.mkdir("/Applications/Vendrel.app/Contents");
        vol.makeBundle("/Applications/Quiet.app",
                       {{"CFBundleName", "Quiet"}, {"CFBundleIdentifier", "com.quiet"}});
        auto options = test::TestServer::Options().hang("/ucloudcenter/uninstall.php");
        if (c.databaseHangs)
            options.hang("/qd_default_update_rw/removal_database/quiet.app.txt");
        test::TestServer silent(options);

        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        const std::string program = test::builtProgram("Vendrel");
        const auto start = Clock::now();
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::close(out[1]);
            ::execl(program.c_str(), program.c_str(), "remove", "Quiet", "--yes",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        std::string text;
        std::optional<Clock::time_point> resultsAt;
        char buffer[4096];
        for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<size_t>(n));
            if (!resultsAt &&
                text.find("Quiet has been successfully removed.") != std::string::npos)
                resultsAt = Clock::now();
        }
        ::close(out[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const std::chrono::duration<double> total = Clock::now() - start;
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
        ASSERT_TRUE(resultsAt) << text;
        const std::chrono::duration<double> beforeResults = *resultsAt - start;
        if (!c.databaseHangs) {
            EXPECT_LT(beforeResults.count(),
                      total.count() - platform::http::kPostTimeoutSeconds / 2)
                << "the results waited for the report";
        }
        EXPECT_LT(total.count(),
                  platform::http::kPostTimeoutSeconds + platform::http::kExitGraceSeconds)
            << "more than one time-out in all";
    }
}

}  // namespace
}  // namespace vendrel
