// The demo's server folder (tools/demo/server) against the demo volume it goes with: what the
// demo shows must hold, and its command lists must act only inside the demo user's home.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/analysis/removal_database.h"
#include "app/catalogue/catalogue.h"
#include "app/catalogue/malware_list.h"
#include "app/online/update_check.h"
#include "common/request_files.h"
#include "tests/support/child_process.h"
#include "tests/support/server.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

namespace stdfs = std::filesystem;

const stdfs::path kServerFolder = stdfs::path(VENDREL_SOURCE_DIR) / "tools/demo/server";

std::string slurp(const stdfs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The demo volume with the running Vendrel.app, served by a copy of the demo server folder.
struct DemoFixture {
    test::TempVolume vol{"/Users/demo"};
    test::ScopedEnv bundle{"VENDREL_APP_BUNDLE", "/Applications/Vendrel.app"};
    test::TestServer server;
    DemoFixture() {
        auto built = test::runProgram({test::builtProgram("vendrel-demo-volume"), vol.root()},
                                      /*withErrors=*/true);
        EXPECT_EQ(built.exitCode, 0) << built.out;
        vol.makeBundle("/Applications/Vendrel.app", {{"CFBundleShortVersionString", "3.1"}});
        for (const auto& e : stdfs::recursive_directory_iterator(kServerFolder)) {
            if (e.is_regular_file() && e.path().extension() == ".txt")
                server.put("/" + stdfs::relative(e.path(), kServerFolder).string(),
                           slurp(e.path()));
        }
    }
};

TEST(DemoServer, FlagsOneListedAndOneHiddenApplication) {
    DemoFixture demo;
    MalwareList malware;
    Catalogue catalogue(&malware);
    catalogue.rebuild(false);
    std::vector<std::string> flagged;
    for (const auto& row : malware.untrustedApps())
        flagged.push_back(row.app_name);
    EXPECT_EQ(flagged, (std::vector<std::string>{"Dark Zipper", "Dark Zipper Installer"}));
    std::vector<std::string> listed;
    for (const auto& r : catalogue.apps)
        listed.push_back(r->name.get());
    EXPECT_NE(std::find(listed.begin(), listed.end(), "Dark Zipper"), listed.end());
    EXPECT_EQ(std::find(listed.begin(), listed.end(), "Dark Zipper Installer"), listed.end());

    EXPECT_TRUE(UpdateCheck::fetchNewInfo());
    EXPECT_TRUE(UpdateCheck::isUpdateAvailable());
}

TEST(DemoServer, CommandListsActOnlyOnThingsInTheHomeFolder) {
    DemoFixture demo;
    // One command per line, each removing one quoted "~/..." path.
    const std::regex line("rm -r?f \"~/([^\"]+)\"");
    const stdfs::path folder = kServerFolder / "qd_default_update_rw/removal_database";
    const struct {
        const char* installPath;
        const char* file;
    } apps[] = {{"/Applications/Dark Zipper.app", "dark-zipper.app.txt"},
                {"/Applications/Quillpad.app", "quillpad.app.txt"},
                {"/Applications/Harborline.app", "harborline.app.txt"}};
    for (const auto& app : apps) {
        SCOPED_TRACE(app.file);
        ASSERT_TRUE(demo.vol.exists(app.installPath));
        const std::string text = slurp(folder / app.file);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '\n');
        std::istringstream lines(text);
        for (std::string l; std::getline(lines, l);) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(l, m, line)) << l;
            EXPECT_EQ(m[1].str().find(".."), std::string::npos) << l;
            // Something the demo put there for the list to remove.
            EXPECT_TRUE(demo.vol.exists("/Users/demo/" + m[1].str())) << l;
        }
        downloadRemovalCommandList(app.installPath);
        const auto list = request_files::readCommandList("/Applications/Vendrel.app/Contents");
        ASSERT_TRUE(list);
        EXPECT_EQ(list->installPath, app.installPath);
        EXPECT_EQ(list->commands.find(";;"), std::string::npos);
    }
}

}  // namespace
}  // namespace vendrel
