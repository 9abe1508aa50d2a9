// `Vendrel analyze`, run as a real process on temporary volumes.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "common/request_files.h"
#include "tests/app/analysis_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/vendrel_command.h"

namespace vendrel {
namespace {

using test::kRequestFolder;

class VendrelAnalyze : public test::AnalysisVolumeTest {
  protected:
    void SetUp() override {
        AnalysisVolumeTest::SetUp();
        vol.makeBundle("/Applications/Foo.app",
                       {{"CFBundleName", "Foo"}, {"CFBundleIdentifier", "com.foo.Foo"}});
        vol.write("/Applications/Foo.app/Contents/MacOS/Foo", std::string(10, 'x'));
        vol.write("/Applications/Foo.app/Contents/Resources/empty", "");
        // Two traces: Normal(5).
        vol.mkdir("/Users/Shared/Foo");
        vol.mkdir(vol.home() + "/Library/Caches/com.foo.Foo");
    }

    test::ProgramOutput vendrel(const std::vector<std::string>& args) {
        return test::runVendrel(args, /*withErrors=*/true);
    }

    test::ScopedEnv fast{"VENDREL_TIME_SCALE", std::string("0.01")};
};

TEST_F(VendrelAnalyze, JsonCarriesTheMeasuresTheRankAndTheFileTable) {
    auto run = vendrel({"analyze", "/Applications/Foo.app", "--json", "--files"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const auto out = test::jsonOutput(run.out);
    const std::string info =
        std::to_string(vol.read("/Applications/Foo.app/Contents/Info.plist").size());
    EXPECT_EQ(out.at("folderCount"), "3");
    EXPECT_EQ(out.at("fileCount"), "3");
    EXPECT_EQ(out.at("sizeBytes"), 10 + std::stoull(info));
    EXPECT_EQ(out.at("rank"), 5);
    EXPECT_EQ(out.at("label"), "Normal");
    EXPECT_EQ(out.at("removalCommandList"), false);
    std::set<std::tuple<std::string, std::string, std::string>> files;
    for (const auto& f : out.at("files"))
        files.emplace(f.at("FilePath"), f.at("FileName"), f.at("FileSize"));
    EXPECT_EQ(files, (std::set<std::tuple<std::string, std::string, std::string>>{
                         {"../Contents", "Info.plist", info + " Bytes"},
                         {"../Contents/MacOS", "Foo", "10 Bytes"},
                         {"../Contents/Resources", "empty", ""}}));
    // The analysis wrote the folder list for the daemon, as the desktop application does.
    request_files::FolderList list;
    ASSERT_EQ(request_files::readFolderList(kRequestFolder, list), request_files::ReadStatus::Ok);
    EXPECT_EQ(list.installPath, "/Applications/Foo.app");
}

TEST_F(VendrelAnalyze, ResolvesNamesAndRefusesWhatItCannotPinDown) {
    auto byName = vendrel({"analyze", "foo"});
    ASSERT_EQ(byName.exitCode, 0) << byName.out;
    EXPECT_NE(byName.out.find("Uninstall Difficulty: Normal(5)"), std::string::npos) << byName.out;
    EXPECT_NE(byName.out.find("Removal command list: none"), std::string::npos);

    vol.makeBundle(vol.home() + "/Desktop/Foo.app", {{"CFBundleName", "Foo"}});
    vol.symlink("/Applications/Foo.app", "/Applications/Link.app");
    struct Row {
        const char* arg;
        const char* message;
    };
    const Row rows[] = {
        {"Foo", "names 2 applications"},
        {"Nothing", "no installed application named"},
        {"Applications/Foo.app", "relative path"},
        {"/Applications/Gone.app", "no application bundle"},
        {"/Applications/Link.app", "symbolic link"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.arg);
        auto run = vendrel({"analyze", r.arg});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.out.find(r.message), std::string::npos) << run.out;
    }
}

// The list served for Foo puts it at 255 and is "in force"; the next analysis, of an
// application the database does not know, leaves none behind and rates by its traces.
TEST_F(VendrelAnalyze, ARemovalDatabaseListRatesItsOwnApplicationOnly) {
    test::TestServer server;
    server.put("/qd_default_update_rw/removal_database/foo.app.txt",
               "rm -rf ~/Library/Caches/com.foo.Foo\n");
    vol.makeBundle("/Applications/Bar.app",
                   {{"CFBundleName", "Bar"}, {"CFBundleIdentifier", "com.bar.Bar"}});

    auto foo = vendrel({"analyze", "/Applications/Foo.app", "--json"});
    ASSERT_EQ(foo.exitCode, 0) << foo.out;
    const auto fooOut = test::jsonOutput(foo.out);
    EXPECT_EQ(fooOut.at("rank"), 255);
    EXPECT_EQ(fooOut.at("label"), "Diffcult");
    EXPECT_EQ(fooOut.at("removalCommandList"), true);

    auto bar = vendrel({"analyze", "/Applications/Bar.app"});
    ASSERT_EQ(bar.exitCode, 0) << bar.out;
    EXPECT_NE(bar.out.find("Uninstall Difficulty: Easy(1)"), std::string::npos) << bar.out;
    EXPECT_NE(bar.out.find("Removal command list: none"), std::string::npos) << bar.out;
    EXPECT_FALSE(vol.exists(request_files::commandListPath(kRequestFolder)));
    request_files::FolderList list;
    ASSERT_EQ(request_files::readFolderList(kRequestFolder, list), request_files::ReadStatus::Ok);
    EXPECT_EQ(list.installPath, "/Applications/Bar.app");
}

}  // namespace
}  // namespace vendrel
