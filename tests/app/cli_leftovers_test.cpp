// The leftover finder on the command line, run as a real process on temporary volumes:
// `analyze --leftovers` shows the findings with evidence and size, `remove` asks with them,
// removes them with the rest unless --engine-only, reports where each went, and `restore`
// puts them back.
#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/env.h"
#include "tests/support/vendrel_command.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

class VendrelLeftovers : public ::testing::Test {
  protected:
    void SetUp() override {
        vol.mkdir("/Applications/Vendrel.app/Contents");
        vol.makeBundle("/Applications/Foo.app",
                       {{"CFBundleName", "Foo"}, {"CFBundleIdentifier", "org.foo.Foo"}});
        vol.makeBundle("/Applications/Foo Beta.app",
                       {{"CFBundleName", "Foo Beta"}, {"CFBundleIdentifier", "org.foo.Foo.beta"}});
        vol.write(lib + "/HTTPStorages/org.foo.Foo/cookies", "12345");
        vol.write(lib + "/WebKit/org.foo.Foo/db", "123");
        vol.write(lib + "/HTTPStorages/org.foo.Foo.beta/cookies", "beta");
        vol.write(vol.home() + "/Documents/Foo/letter.txt", "the user's");
    }

    test::ProgramOutput vendrel(const std::vector<std::string>& args) {
        return test::runVendrel(args, /*withErrors=*/true);
    }

    test::TempVolume vol;
    const std::string lib = vol.home() + "/Library";
    test::ScopedEnv fast{"VENDREL_TIME_SCALE", std::string("0.01")};
    test::ScopedEnv bundle{"VENDREL_APP_BUNDLE", std::string("/Applications/Vendrel.app")};
};

TEST_F(VendrelLeftovers, AnalyzeListsFindingsWithEvidenceAndSize) {
    auto run = vendrel({"analyze", "Foo", "--leftovers", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const auto out = test::jsonOutput(run.out);
    ASSERT_EQ(out.at("leftovers").size(), 2u) << run.out;
    const auto& first = out.at("leftovers")[0];
    EXPECT_EQ(first.at("path"), lib + "/HTTPStorages/org.foo.Foo");
    EXPECT_EQ(first.at("location"), "~/Library/HTTPStorages");
    EXPECT_EQ(first.at("rule"), "identifier");
    EXPECT_EQ(first.at("evidence"), "org.foo.Foo");
    EXPECT_EQ(first.at("sizeBytes"), 5);
    EXPECT_EQ(first.at("system"), false);
    EXPECT_EQ(out.at("leftovers")[1].at("path"), lib + "/WebKit/org.foo.Foo");
    EXPECT_EQ(out.at("leftoversSizeBytes"), 8);

    auto text = vendrel({"analyze", "Foo", "--leftovers"});
    ASSERT_EQ(text.exitCode, 0) << text.out;
    EXPECT_NE(text.out.find("Leftovers beyond the bundle: 2 items"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("(identifier: org.foo.Foo)"), std::string::npos) << text.out;
}

TEST_F(VendrelLeftovers, ConfirmationSaysWhatGoesBeyondTheBundle) {
    auto run = vendrel({"remove", "Foo"});  // standard input is empty: the answer is NO
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Beyond the bundle, 2 items"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Nothing was removed."), std::string::npos) << run.out;
    EXPECT_TRUE(vol.exists(lib + "/HTTPStorages/org.foo.Foo/cookies"));
}

TEST_F(VendrelLeftovers, RemoveTakesFindingsUnlessEngineOnlyAndRestorePutsThemBack) {
    struct Case {
        bool engineOnly;
        bool findingsGo;
    };
    for (const Case c : {Case{true, false}, Case{false, true}}) {
        SCOPED_TRACE(c.engineOnly ? "--engine-only" : "with the finder");
        if (!vol.exists("/Applications/Foo.app"))
            vol.makeBundle("/Applications/Foo.app",
                           {{"CFBundleName", "Foo"}, {"CFBundleIdentifier", "org.foo.Foo"}});
        std::vector<std::string> args{"remove", "Foo", "--yes", "--json"};
        if (c.engineOnly)
            args.push_back("--engine-only");
        auto run = vendrel(args);
        ASSERT_EQ(run.exitCode, 0) << run.out;
        const auto out = test::jsonOutput(run.out);
        EXPECT_EQ(vol.exists(lib + "/HTTPStorages/org.foo.Foo/cookies"), !c.findingsGo);
        EXPECT_EQ(out.at("leftovers").size(), c.findingsGo ? 2u : 0u) << run.out;
        if (c.findingsGo) {
            EXPECT_EQ(out.at("leftovers")[0].at("went"), "user's Trash");
        }
        // Another application's data and the user's documents stay either way.
        EXPECT_TRUE(vol.exists(lib + "/HTTPStorages/org.foo.Foo.beta/cookies"));
        EXPECT_TRUE(vol.exists(vol.home() + "/Documents/Foo/letter.txt"));
    }
    auto restore = vendrel({"restore", "--last"});
    EXPECT_EQ(restore.exitCode, 0) << restore.out;
    EXPECT_TRUE(vol.exists(lib + "/HTTPStorages/org.foo.Foo/cookies")) << restore.out;
    EXPECT_TRUE(vol.exists(lib + "/WebKit/org.foo.Foo/db")) << restore.out;
}

}  // namespace
}  // namespace vendrel
