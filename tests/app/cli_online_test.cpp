// The command-line removal's online side, run as a real process against the server stand-in.
#include <gtest/gtest.h>

#include <regex>

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

}  // namespace
}  // namespace vendrel
