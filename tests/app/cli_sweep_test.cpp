// `Vendrel sweep`, run as a real process on temporary volumes.
#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/vendrel_command.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

using test::TempVolume;

test::ProgramOutput vendrel(const std::vector<std::string>& args, bool withErrors = false) {
    return test::runVendrel(args, withErrors);
}

void makeFoo(const TempVolume& vol) {
    vol.makeBundle("/Applications/Foo.app",
                   {{"CFBundleName", "Foo"}, {"CFBundleIdentifier", "com.foo.bar"}});
    vol.write(vol.home() + "/Library/Caches/com.foo.bar/x", "leftover");
    vol.write("/Users/Shared/Foo/x", "leftover");
    vol.write(vol.home() + "/Documents/Foo/x", "the user's own");
}

TEST(VendrelSweep, DryRunPrintsTheJournalAndChangesNothing) {
    TempVolume vol;
    makeFoo(vol);
    for (const char* target : {"Foo", "/Applications/Foo.app"}) {
        SCOPED_TRACE(target);
        auto run = vendrel({"sweep", target, "--dry-run", "--root-mode", "--json"});
        ASSERT_EQ(run.exitCode, 0) << run.out;
        const auto out = test::jsonOutput(run.out);
        EXPECT_EQ(out.at("identifier"), "com.foo.bar");
        EXPECT_EQ(out.at("mode"), "root");
        std::vector<std::string> moved;
        for (const auto& e : out.at("journal")) {
            EXPECT_TRUE(e.at("dryRun").get<bool>());
            if (e.at("action") == "moved to Trash")
                moved.push_back(e.at("subject"));
        }
        EXPECT_EQ(moved, (std::vector<std::string>{"/Users/Shared/Foo",
                                                   vol.home() + "/Library/Caches/com.foo.bar"}));
        EXPECT_EQ(out.at("journal")[0].at("action"), "force-removed");
        EXPECT_TRUE(vol.exists("/Applications/Foo.app"));
        EXPECT_TRUE(vol.exists("/Users/Shared/Foo/x"));
    }
}

TEST(VendrelSweep, SweepsLeftoversOfAnInstalledOrRemovedBundle) {
    TempVolume vol;
    makeFoo(vol);
    auto run = vendrel({"sweep", "/Applications/Foo.app"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("moved to Trash: /Users/Shared/Foo  ["), std::string::npos) << run.out;
    EXPECT_FALSE(vol.exists("/Users/Shared/Foo"));
    EXPECT_TRUE(vol.exists("/Applications/Foo.app"));  // user mode leaves the bundle
    EXPECT_TRUE(vol.exists(vol.home() + "/Documents/Foo/x"));

    // Once the bundle is gone, its name and identifier must come from the command line.
    vol.write(vol.home() + "/Library/Caches/com.gone.app/x", "leftover");
    auto refused = vendrel({"sweep", "/Applications/Gone.app"}, true);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.out.find("--name"), std::string::npos) << refused.out;
    auto swept = vendrel(
        {"sweep", "/Applications/Gone.app", "--name", "Gone", "--identifier", "com.gone.app"});
    ASSERT_EQ(swept.exitCode, 0) << swept.out;
    EXPECT_FALSE(vol.exists(vol.home() + "/Library/Caches/com.gone.app"));
}

}  // namespace
}  // namespace vendrel
