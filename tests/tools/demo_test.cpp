// The demo volume builder, run as a real program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/catalogue/catalogue.h"
#include "common/files.h"
#include "common/system_info.h"
#include "platform/fs.h"
#include "platform/plist.h"
#include "platform/system.h"
#include "tests/support/child_process.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

namespace stdfs = std::filesystem;
using test::TempVolume;

test::ProgramOutput buildVolume(const std::vector<std::string>& args) {
    std::vector<std::string> argv{test::builtProgram("vendrel-demo-volume")};
    argv.insert(argv.end(), args.begin(), args.end());
    return test::runProgram(argv, /*withErrors=*/true);
}

std::vector<std::string> names(const Catalogue& c) {
    std::vector<std::string> out;
    for (const auto& r : c.apps)
        out.push_back(r->name.get());
    return out;
}

size_t count(const std::vector<std::string>& v, const std::string& s) {
    return static_cast<size_t>(std::count(v.begin(), v.end(), s));
}

TEST(DemoVolume, TheShippedContentMakesARealisticVolume) {
    TempVolume vol("/Users/demo");
    auto run = buildVolume({vol.root()});
    ASSERT_EQ(run.exitCode, 0) << run.out;

    Catalogue catalogue;
    catalogue.rebuild(false);
    const auto shown = names(catalogue);
    EXPECT_GE(shown.size(), 30u);
    for (const char* n : {"Lumenstack", "Sablewave Monitor", "Palisade Backup", "Driftwood Editor",
                          "Emberly Timer", "Tallow", "Foxglove Hotkeys", "N/A", "gristmill"}) {
        EXPECT_EQ(count(shown, n), 1u) << n;
    }
    EXPECT_EQ(count(shown, "Quillpad"), 2u);  // /Applications and the Desktop
    for (const char* n : {"Palisade Restore", "Bramble Zip", "Lumenstack Installer", "Uninstall",
                          "Halcyon Uninstaller", "Safari", "Terminal", "Trackpad Tuner"}) {
        EXPECT_EQ(count(shown, n), 0u) << n;
    }
    catalogue.rebuild(true);
    EXPECT_EQ(count(names(catalogue), "Safari"), 1u);
    EXPECT_EQ(count(names(catalogue), "Trackpad Tuner"), 1u);

    EXPECT_EQ(system::osVersion(), "Mac OS X 10.11.x");
    EXPECT_TRUE(platform::isAliasFile("/Users/demo/Desktop/Kestrel Browser alias.app"));
    // Links resolve inside the volume, not on the host.
    EXPECT_TRUE(platform::fs::isSymbolicLink("/Applications/Quill.app"));
    EXPECT_TRUE(platform::fs::fileExists("/Applications/Quill.app/Contents/Info.plist"));

    for (const auto& record : catalogue.apps) {
        const std::string path = record->installPath.get();
        SCOPED_TRACE(path);
        ASSERT_TRUE(record->installDate.get());
        EXPECT_NE(record->installDate.get()->substr(0, 4), "1970");
        // Every icon file the bundles name is a whole .icns file.
        if (auto icon = record->largeIcon.get()) {
            const std::string bytes = vol.read(icon->path);
            ASSERT_GE(bytes.size(), 8u);
            EXPECT_EQ(bytes.substr(0, 4), "icns");
            const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
            EXPECT_EQ(
                (uint32_t{b[4]} << 24) | (uint32_t{b[5]} << 16) | (uint32_t{b[6]} << 8) | b[7],
                bytes.size());
        }
    }
    EXPECT_EQ(vol.read("/Applications/Lumenstack.app/Contents/Info.plist").substr(0, 8),
              "bplist00");
    EXPECT_EQ(
        files::fileSize("/Applications/Pixelforge Studio.app/Contents/Resources/Brushes.pack"),
        1288490188u);
}

// A launchd job of the demo that runs a program inside a bundle names one that exists, so
// the removal of that bundle finds the job by its program path. (Jobs of products with
// helpers elsewhere, and decoys naming bundles that are not there, are left out.)
TEST(DemoVolume, LaunchdJobsRunProgramsInsideBundles) {
    TempVolume vol("/Users/demo");
    ASSERT_EQ(buildVolume({vol.root()}).exitCode, 0);
    size_t jobs = 0;
    for (const char* folder :
         {"/Library/LaunchAgents", "/Library/LaunchDaemons", "/Users/demo/Library/LaunchAgents"}) {
        for (const auto& name : platform::fs::contentsOfDirectory(folder)) {
            const std::string path = std::string(folder) + "/" + name;
            SCOPED_TRACE(path);
            auto job = platform::plist::readDictionary(path);
            ASSERT_TRUE(job);
            const std::string* program = platform::plist::stringForKey(*job, "Program");
            if (!program) {
                const auto* args = platform::plist::valueForKey(*job, "ProgramArguments");
                ASSERT_TRUE(args && args->array() && !args->array()->empty());
                program = args->array()->front().string();
            }
            ASSERT_TRUE(program);
            const size_t app = program->find(".app/");
            if (app == std::string::npos || !platform::fs::fileExists(program->substr(0, app + 4)))
                continue;
            EXPECT_TRUE(platform::fs::fileExists(*program));
            ++jobs;
        }
    }
    EXPECT_GE(jobs, 4u);
}

TEST(DemoVolume, BadContentIsRefusedWithTheFileNamed) {
    struct Row {
        const char* what;
        const char* json;
    };
    const Row rows[] = {
        {"escaping path", R"({"files":[{"path":"/Library/../../../escaped","content":"x"}]})"},
        {"relative path", R"({"dirs":["Library/x"]})"},
        {"relative in bundle",
         R"({"apps":[{"path":"/Applications/A.app","files":{"../../../escaped":1}}]})"},
        {"unknown key", R"({"app":[]})"},
        {"typo in app", R"({"apps":[{"path":"/Applications/A.app","infos":{}}]})"},
        {"size and content", R"({"files":[{"path":"/x","size":1,"content":"x"}]})"},
        {"bad date", R"({"apps":[{"path":"/Applications/A.app","modified":"yesterday"}]})"},
        {"not json", R"({"apps":[)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TempVolume vol;
        const std::string content = vol.root() + "/content";
        stdfs::create_directories(content);
        std::ofstream(content + "/50-bad.json") << r.json;
        const std::string target = vol.root() + "/volume";
        auto run = buildVolume({target, content});
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.out.find("50-bad.json"), std::string::npos) << run.out;
        EXPECT_FALSE(stdfs::exists(vol.root() + "/escaped"));
        EXPECT_FALSE(stdfs::exists(stdfs::path(vol.root()).parent_path() / "escaped"));
    }
}

}  // namespace
}  // namespace vendrel
