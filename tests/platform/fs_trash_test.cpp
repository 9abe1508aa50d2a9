#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/trash.h"
#include "platform/tree_walk.h"
#include "tests/support/env.h"
#include "tests/support/volume.h"

namespace vendrel::platform {
namespace {

TEST(FileManager, ExistenceFollowsLinksAttributesDoNot) {
    test::TempVolume vol;
    vol.write("/data/file", "0123456789");
    vol.symlink("file", "/data/link");
    vol.symlink("missing", "/data/dangling");
    EXPECT_TRUE(fs::fileExists("/data/link"));
    EXPECT_FALSE(fs::fileExists("/data/dangling"));
    auto a = fs::attributesOfItem("/data/link");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->type, fs::FileType::SymbolicLink);
    EXPECT_EQ(a->size, 4u) << "a link reports its own size";
    EXPECT_TRUE(fs::attributesOfItem("/data/dangling"));
    EXPECT_FALSE(fs::attributesOfItem("/data/none"));
    auto names = fs::contentsOfDirectory("/data");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dangling", "file", "link"}));
    EXPECT_TRUE(fs::contentsOfDirectory("/data/file").empty());
    EXPECT_TRUE(fs::contentsOfDirectory("/nowhere").empty());
}

TEST(FileManager, EnumerationReportsLinksEntersPackagesAndSkips) {
    test::TempVolume vol;
    vol.write("/t/a.app/Contents/MacOS/a", "12345");
    vol.write("/t/.hidden", "xy");
    vol.mkdir("/outside/deep");
    vol.write("/outside/deep/big", std::string(1000, 'x'));
    vol.symlink(vol.host("/outside"), "/t/link-to-outside");
    vol.mkdir("/t/locked/inner");
    ::chmod(vol.host("/t/locked").c_str(), 0);

    std::vector<std::string> seen;
    uint64_t bytes = 0;
    fs::enumerate("/t", [&](const fs::WalkEntry& e) {
        seen.push_back(e.path);
        if (e.type != fs::FileType::Directory)
            bytes += e.size;
        return fs::WalkControl::Continue;
    });
    ::chmod(vol.host("/t/locked").c_str(), 0755);
    std::sort(seen.begin(), seen.end());
    EXPECT_TRUE(std::count(seen.begin(), seen.end(), "/t/a.app/Contents/MacOS/a"));
    EXPECT_TRUE(std::count(seen.begin(), seen.end(), "/t/.hidden"));
    EXPECT_TRUE(std::count(seen.begin(), seen.end(), "/t/link-to-outside"));
    EXPECT_FALSE(std::count(seen.begin(), seen.end(), "/t/link-to-outside/deep"))
        << "links are reported, not followed";
    EXPECT_TRUE(std::count(seen.begin(), seen.end(), "/t/locked"));
    // Running as root the locked folder may still be readable; either way the walk ends.
    EXPECT_EQ(bytes, 5u + 2u + std::string(vol.host("/outside")).size());
}

TEST(FileManager, EnumerationSkipsAFolderTheCallbackMovedAway) {
    test::TempVolume vol;
    vol.write("/t/x/com.foo/inner/file", "1");
    vol.write("/t/y/file", "1");
    std::vector<std::string> seen;
    fs::enumerate("/t", [&](const fs::WalkEntry& e) {
        seen.push_back(e.path);
        if (e.path == "/t/x/com.foo")
            std::filesystem::rename(vol.host(e.path), vol.host("/moved"));
        return fs::WalkControl::Continue;
    });
    EXPECT_FALSE(std::count(seen.begin(), seen.end(), "/t/x/com.foo/inner"));
    EXPECT_TRUE(std::count(seen.begin(), seen.end(), "/t/y/file"));
}

// The threaded tree walk must report exactly what the one-thread walk reports, in the same
// order: links not followed, hidden items, an unreadable folder, and a chain deeper than the
// descriptor budget (reached by path past it). Whatever the number of threads.
TEST(FileManager, TreeWalkMatchesTheOneThreadWalkInOrder) {
    test::TempVolume vol;
    vol.write("/outside/deep/big", std::string(1000, 'x'));
    for (int a = 0; a < 12; ++a) {
        const std::string da = "/t/a" + std::to_string(a);
        vol.write(da + "/.hidden", "xy");
        for (int b = 0; b < 4; ++b)
            vol.write(da + "/b" + std::to_string(b) + "/f",
                      std::string(static_cast<size_t>(a + b), 'z'));
        vol.write(da + "/last", "1");
    }
    vol.symlink(vol.host("/outside"), "/t/link-to-outside");
    vol.mkdir("/t/locked/inner");
    std::string chain = "/t/chain";
    for (int d = 0; d < 110; ++d)
        chain += "/d";
    vol.write(chain + "/bottom", "123");
    ::chmod(vol.host("/t/locked").c_str(), 0);

    struct Seen {
        std::string path;
        fs::FileType type;
        bool typeKnown;
        uint64_t size;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> expected;
    fs::enumerate("/t", [&](const fs::WalkEntry& e) {
        expected.push_back({e.path, e.type, e.typeKnown, e.size});
        return fs::WalkControl::Continue;
    });
    for (unsigned threads : {1u, 2u, 4u}) {
        SCOPED_TRACE(threads);
        std::vector<Seen> got;
        std::vector<std::string> folders = {"/t"};
        std::pair<uint64_t, uint64_t> last{0, 0};
        fs::walkTree(
            "/t", threads,
            [&](uint64_t d, uint64_t f) {
                EXPECT_GE(d, last.first);
                EXPECT_GE(f, last.second);
                last = {d, f};
            },
            [&](const fs::TreeTotals& totals) {
                EXPECT_EQ(totals.folders, last.first);
                EXPECT_EQ(totals.files, last.second);
            },
            [&](fs::TreeItem& item) {
                ASSERT_LT(item.folder, folders.size());
                std::string path = folders[item.folder] + "/" + std::string(item.name);
                if (item.typeKnown && item.type == fs::FileType::Directory) {
                    ASSERT_EQ(item.self, folders.size());
                    folders.push_back(path);
                }
                got.push_back({path, item.type, item.typeKnown, item.size});
            });
        EXPECT_TRUE(got == expected);
        EXPECT_EQ(last.first + last.second, expected.size());
    }
    ::chmod(vol.host("/t/locked").c_str(), 0755);
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(),
                            [&](const Seen& s) { return s.path == chain + "/bottom"; }));
}

TEST(FileManager, RemoveItemNeverFollowsLinks) {
    test::TempVolume vol;
    vol.write("/keep/precious", "data");
    vol.write("/gone/sub/file", "x");
    vol.symlink(vol.host("/keep"), "/gone/link");
    EXPECT_TRUE(fs::removeItem("/gone"));
    EXPECT_FALSE(vol.exists("/gone"));
    EXPECT_EQ(vol.read("/keep/precious"), "data");

    // A parent that is a link: nothing is removed through it.
    vol.symlink(vol.host("/keep"), "/via");
    EXPECT_FALSE(fs::removeItem("/via/precious"));
    EXPECT_EQ(vol.read("/keep/precious"), "data");
}

TEST(FileManager, AtomicWriteAndBoundedRead) {
    test::TempVolume vol;
    vol.mkdir("/f");
    EXPECT_TRUE(fs::writeFileAtomically("/f/a.txt", "hello"));
    EXPECT_EQ(fs::readFile("/f/a.txt", 100), "hello");
    EXPECT_FALSE(fs::readFile("/f/a.txt", 4)) << "over the cap reads as absent";
    EXPECT_EQ(fs::contentsOfDirectory("/f").size(), 1u) << "no temporary file left";
    EXPECT_FALSE(fs::writeFileAtomically("/missing-folder/a.txt", "x"));
}

TEST(Trash, MovesWithClashFreeNamesAndPutsBack) {
    test::TempVolume vol;
    vol.write("/Library/Caches/com.foo/db", "1");
    auto first = trash::moveToTrash("/Library/Caches/com.foo");
    ASSERT_TRUE(first.moved) << first.error;
    EXPECT_EQ(first.trashedPath, "/Users/tester/.Trash/com.foo");
    vol.write("/Library/Caches/com.foo/db", "2");
    auto second = trash::moveToTrash("/Library/Caches/com.foo");
    ASSERT_TRUE(second.moved) << second.error;
    EXPECT_NE(second.trashedPath, first.trashedPath);
    EXPECT_EQ(vol.read(second.trashedPath + "/db"), "2");

    auto recs = trash::records();
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].originalPath, "/Library/Caches/com.foo");

    // Put back never overwrites: the first succeeds, the second finds its place taken.
    auto back = trash::putBack(recs[0]);
    EXPECT_TRUE(back.moved) << back.error;
    EXPECT_EQ(vol.read("/Library/Caches/com.foo/db"), "1");
    auto clash = trash::putBack(recs[1]);
    EXPECT_FALSE(clash.moved);
    EXPECT_EQ(vol.read(second.trashedPath + "/db"), "2");
    EXPECT_EQ(trash::records().size(), 1u);
}

// Put-back records lie in the user's Trash and anyone who can write it can rewrite them: a
// tampered record moves nothing out of place and creates nothing outside the volume.
TEST(Trash, TamperedRecordsMoveAndCreateNothing) {
    test::TempVolume outside;
    outside.mkdir("/out");
    test::TempVolume vol;
    const std::string trashFolder = trash::trashFolder();
    vol.write("/Library/Preferences/com.secret.plist", "root's");
    vol.write(trashFolder + "/item", "trashed");
    vol.symlink(outside.host("/out"), "/Users/tester/Linked");
    struct Row {
        const char* name;
        std::string original;
        std::string trashed;
    };
    const Row rows[] = {
        {"trashed item outside the Trash", "/Users/tester/Desktop/stolen.plist",
         "/Library/Preferences/com.secret.plist"},
        {"original with ..", "/Users/tester/../../../../../../out/new/item", trashFolder + "/item"},
        {"original through a linked folder", "/Users/tester/Linked/new/item",
         trashFolder + "/item"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        vol.write(trashFolder + "/.Vendrel-PutBack/item.plist",
                  plist::toXml(plist::Value(plist::Dictionary{{"OriginalPath", row.original},
                                                              {"TrashedPath", row.trashed},
                                                              {"Timestamp", 1.0}})));
        for (const auto& rec : trash::records())
            EXPECT_FALSE(trash::putBack(rec).moved);
        const trash::Record forged{row.original, row.trashed, {}};
        EXPECT_FALSE(trash::putBack(forged).moved);
        EXPECT_EQ(vol.read("/Library/Preferences/com.secret.plist"), "root's");
        EXPECT_EQ(vol.read(trashFolder + "/item"), "trashed");
        EXPECT_FALSE(vol.exists("/Users/tester/Desktop/stolen.plist"));
        EXPECT_FALSE(outside.exists("/out/new"));
        EXPECT_FALSE(std::filesystem::exists(outside.root() + "/../out"));
    }
    // Only the last record is well-formed; its put-back failed at the link, before it
    // created anything.
    EXPECT_EQ(trash::records().size(), 1u);
}

// A home setting of "/Users/../.." once made the Trash code create ".Trash" beside the volume.
TEST(Trash, AHomeThatClimbsOutCreatesNothingOutside) {
    test::TempVolume vol;
    vol.write("/Library/Caches/com.foo/db", "1");
    const auto outsideTrash = std::filesystem::path(vol.root()).parent_path() / ".Trash";
    const bool before = std::filesystem::exists(outsideTrash);
    for (const char* home : {"/Users/../..", "/Users/tester/../../.."}) {
        SCOPED_TRACE(home);
        test::ScopedEnv setting("VENDREL_HOME", std::string(home));
        EXPECT_FALSE(trash::moveToTrash("/Library/Caches/com.foo").moved);
        EXPECT_FALSE(fs::createDirectories(std::string(home) + "/.Trash"));
    }
    EXPECT_EQ(vol.read("/Library/Caches/com.foo/db"), "1");
    EXPECT_EQ(std::filesystem::exists(outsideTrash), before);
}

TEST(Trash, LinksMoveAsLinksAndMissingItemsStay) {
    test::TempVolume vol;
    vol.write("/target/file", "keep");
    vol.symlink(vol.host("/target"), "/Applications/Link.app");
    auto r = trash::moveToTrash("/Applications/Link.app");
    ASSERT_TRUE(r.moved);
    EXPECT_EQ(vol.read("/target/file"), "keep");
    EXPECT_TRUE(std::filesystem::is_symlink(vol.host(r.trashedPath)));

    EXPECT_FALSE(trash::moveToTrash("/nothing/here").moved);
    vol.symlink(vol.host("/target"), "/via");
    auto through = trash::moveToTrash("/via/file");
    EXPECT_FALSE(through.moved) << "a parent folder that is a link is not followed";
    EXPECT_EQ(vol.read("/target/file"), "keep");
}

}  // namespace
}  // namespace vendrel::platform
