// `Vendrel list`, run as a real process on temporary volumes.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <map>

#include "app/catalogue/catalogue.h"
#include "tests/support/child_process.h"
#include "tests/support/server.h"
#include "tests/support/vendrel_command.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

using test::TempVolume;

// Runs the built Vendrel with the environment of this process (a TempVolume's variables).
test::ProgramOutput vendrel(const std::vector<std::string>& args, bool withErrors = false) {
    return test::runVendrel(args, withErrors);
}

platform::plist::Dictionary app(const std::string& name, const std::string& identifier,
                                const std::string& version) {
    return {{"CFBundleName", name},
            {"CFBundleIdentifier", identifier},
            {"CFBundleShortVersionString", version}};
}

TEST(VendrelList, JsonIsTheCatalogueInOrderWithTheRecordsFieldNames) {
    TempVolume vol("/Users/tester");
    vol.makeBundle("/Applications/Zeta.app", app("Zeta", "com.zeta", "2.0"));
    vol.makeBundle("/Applications/alpha.app", app("alpha", "com.alpha", "1.0"), /*binary=*/true);
    vol.makeBundle("/Applications/Safari.app", app("Safari", "com.apple.Safari", "9.1"));
    vol.makeBundle("/Users/tester/Desktop/Quote.app", app("Say \"hi\"\nnow", "com.quote", "1\t2"));
    // Names are untrusted bytes; the JSON must stay valid for them too.
    vol.makeBundle("/Applications/Bad.app", app(std::string("Bad\xff\xfe"), "com.bad", "1"));

    auto run = vendrel({"list", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    auto list = test::jsonOutput(run.out);
    ASSERT_TRUE(list.is_array());
    std::vector<std::string> names;
    for (const auto& item : list)
        names.push_back(item.at("name").get<std::string>());
    EXPECT_EQ(names,
              (std::vector<std::string>{"Bad\uFFFD\uFFFD", "Say \"hi\"\nnow", "Zeta", "alpha"}));
    const auto& zeta = list[2];
    EXPECT_EQ(zeta.at("version"), "2.0");
    EXPECT_EQ(zeta.at("bundleId"), "com.zeta");
    EXPECT_EQ(zeta.at("installPath"), "/Applications/Zeta.app");
    EXPECT_EQ(zeta.at("installDate").get<std::string>().size(),
              std::string("yyyy-MM-dd HH:mm:ss").size());
    EXPECT_EQ(list[1].at("installPath"), "/Users/tester/Desktop/Quote.app");

    auto withApple = vendrel({"list", "--json", "--show-apple"});
    ASSERT_EQ(withApple.exitCode, 0);
    EXPECT_EQ(test::jsonOutput(withApple.out).size(), 5u);
}

TEST(VendrelList, TableKeepsOneLinePerRecordWhateverTheNames) {
    TempVolume vol;
    vol.makeBundle("/Applications/A.app", app("Line\nbreak", "com.a", "1.0"));
    vol.makeBundle("/Applications/B.app", app("Escape\x1b[2Jcode", "com.b", "1.0"));
    vol.makeBundle("/Applications/C.app", app("Normal", "com.c", "3.2.1"));
    auto run = vendrel({"list"});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
    // Heading, rule, three records, blank line, count.
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 7) << run.out;
    EXPECT_NE(run.out.find("Line\\nbreak"), std::string::npos);
    EXPECT_NE(run.out.find("/Applications/C.app"), std::string::npos);
    EXPECT_NE(run.out.find("3 items"), std::string::npos);
}

TEST(VendrelList, AnUnusableVolumeOrBadArgumentsFailClearly) {
    TempVolume vol;
    struct Row {
        const char* root;
        std::vector<std::string> args;
        const char* message;
    };
    const std::string missing = vol.root() + "/no-such-folder";
    const std::string file = vol.root() + "/a-file";
    vol.write("/a-file", "x");
    const Row rows[] = {
        {missing.c_str(), {"list"}, "VENDREL_ROOT"},
        {file.c_str(), {"list", "--json"}, "VENDREL_ROOT"},
        {vol.root().c_str(), {"list", "--bogus"}, "Usage"},
        {vol.root().c_str(), {"list", "extra"}, "Usage"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.root) + " " + r.args.back());
        ::setenv("VENDREL_ROOT", r.root, 1);
        auto run = vendrel(r.args, /*withErrors=*/true);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.out.find(r.message), std::string::npos) << run.out;
    }
    ::setenv("VENDREL_ROOT", vol.root().c_str(), 1);
}

TEST(VendrelList, MarksTheApplicationsOnTheMalwareList) {
    TempVolume vol;
    test::TestServer server;
    server.put("/qd_default_update_rw/removal_database/ml_list.txt", "dark zipper\nchess\n");
    vol.makeBundle("/Applications/Dark Zipper.app", app("Dark Zipper", "com.dz", "1.0"));
    vol.makeBundle("/Applications/Fine.app", app("Fine", "com.fine", "1.0"));
    // Apple's application is hidden but still named in the tip; panes are never compared.
    vol.makeBundle("/Applications/Chess.app", app("Chess", "com.apple.Chess", "3.0"));
    vol.makeBundle("/Library/PreferencePanes/Dark Zipper.prefPane",
                   app("Dark Zipper", "com.dz.pane", "1.0"));

    auto json = vendrel({"list", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.out;
    std::map<std::string, bool> flags;
    for (const auto& item : test::jsonOutput(json.out))
        flags[item.at("installPath").get<std::string>()] = item.at("untrusted").get<bool>();
    EXPECT_EQ(flags, (std::map<std::string, bool>{
                         {"/Applications/Dark Zipper.app", true},
                         {"/Applications/Fine.app", false},
                         {"/Library/PreferencePanes/Dark Zipper.prefPane", false}}));

    auto table = vendrel({"list"});
    ASSERT_EQ(table.exitCode, 0);
    EXPECT_NE(table.out.find("! Dark Zipper"), std::string::npos) << table.out;
    EXPECT_NE(
        table.out.find("Untrusted applications (on the malware list):\n  Dark Zipper\n  Chess\n"),
        std::string::npos)
        << table.out;
}

}  // namespace
}  // namespace vendrel
