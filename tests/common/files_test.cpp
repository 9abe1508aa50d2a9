// Measures, formatting, deletion and the Trash, on real temporary volumes.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>

#include "common/files.h"
#include "common/journal.h"
#include "platform/trash.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

using test::TempVolume;

TEST(SizeToStr, UnitIsChosenOnTheExactCountBeforeRounding) {
    struct Row {
        std::optional<uint64_t> bytes;
        const char* text;
    };
    const Row rows[] = {
        {std::nullopt, "0 Bytes"},
        {0, "0 Bytes"},
        {1023, "1023 Bytes"},
        {1024, "1.00 KB"},
        {1536, "1.50 KB"},
        {1048575, "1024.00 KB"},
        {1048576, "1.00 MB"},
        {1073741823, "1024.00 MB"},
        {1073741824, "1.00 GB"},
        {5368709120, "5.00 GB"},
        {UINT64_MAX, "17179869184.00 GB"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(files::sizeText(r.bytes), r.text);
    }
}

TEST(DateToStr, LocalTimeTwentyFourHourClockZeroPadded) {
    const char* saved = ::getenv("TZ");
    std::string savedTz = saved ? saved : "";
    // Five hours forty-five ahead of UTC: catches UTC output and hour-only offsets alike.
    ::setenv("TZ", "<+0545>-5:45", 1);
    ::tzset();
    // 2024-01-02 09:04:05 UTC
    auto t = std::chrono::system_clock::from_time_t(1704186245);
    EXPECT_EQ(files::dateText(t), "2024-01-02 14:49:05");
    EXPECT_EQ(files::dateText(std::chrono::system_clock::from_time_t(1704186245 - 14 * 3600)),
              "2024-01-02 00:49:05");
    if (saved)
        ::setenv("TZ", savedTz.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

TEST(FileSize, MissingAndDanglingAreAbsentLinksReportThemselves) {
    TempVolume vol;
    vol.write("/data/big", std::string(5000, 'x'));
    vol.write("/data/empty", "");
    vol.write("/data/size1536", std::string(1536, 'y'));
    vol.symlink("big", "/data/link");  // the link's own size is its target's length
    vol.symlink("nowhere", "/data/dangling");

    EXPECT_EQ(files::fileSize("/data/missing"), std::nullopt);
    EXPECT_EQ(files::fileSize("/data/dangling"), std::nullopt);
    EXPECT_EQ(files::fileSize("/data/big"), 5000u);
    EXPECT_EQ(files::fileSize("/data/link"), 3u);
    EXPECT_EQ(files::fileSize("/data/empty"), 0u);

    // Never "0 Bytes": a missing path and an empty file both give the empty string.
    EXPECT_EQ(files::fileSizeText("/data/missing"), "");
    EXPECT_EQ(files::fileSizeText("/data/empty"), "");
    EXPECT_EQ(files::fileSizeText("/data/size1536"), "1.50 KB");
}

// The measured tree:
//   /t/a                10 bytes
//   /t/.hidden           5 bytes
//   /t/empty/            folder
//   /t/Foo.app/Contents/MacOS/Foo   7 bytes (packages are entered)
//   /t/link -> a         link: its own size (1), not the target's
//   /t/dangling -> x     link: counts as a file, adds 0
//   /t/dirlink -> ../big link to a folder: not followed; its own size (6)
//   /big/huge           1000 bytes (outside the tree)
TEST(DirMeasures, CountEverythingBelowWithoutFollowingLinks) {
    TempVolume vol;
    vol.write("/t/a", std::string(10, 'a'));
    vol.write("/t/.hidden", std::string(5, 'h'));
    vol.mkdir("/t/empty");
    EXPECT_EQ(files::folderSize("/t"), 15u);
    uint64_t dirs = 99, files = 99;
    std::optional<uint64_t> size;
    EXPECT_TRUE(files::countContents("/t", dirs, files, size));
    EXPECT_EQ(dirs, 1u);
    EXPECT_EQ(files, 2u);
    EXPECT_EQ(size, 15u);

    vol.write("/t/Foo.app/Contents/MacOS/Foo", std::string(7, 'f'));
    vol.symlink("a", "/t/link");
    vol.symlink("x", "/t/dangling");
    vol.write("/big/huge", std::string(1000, 'b'));
    vol.symlink("../big", "/t/dirlink");
    const uint64_t expected = 10 + 5 + 7 + 1 + 6;
    EXPECT_EQ(files::folderSize("/t"), expected);
    EXPECT_TRUE(files::countContents("/t", dirs, files, size));
    EXPECT_EQ(dirs, 4u);   // empty, Foo.app, Contents, MacOS
    EXPECT_EQ(files, 6u);  // a, .hidden, Foo, link, dangling, dirlink
    EXPECT_EQ(size, expected);
}

TEST(DirMeasures, MissingPathsAndPlainFilesGiveZero) {
    TempVolume vol;
    vol.write("/file", "12345");
    for (const char* path : {"/missing", "/file"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(files::folderSize(path), 0u);
        uint64_t dirs = 7, files = 7;
        std::optional<uint64_t> size = 7;
        EXPECT_TRUE(files::countContents(path, dirs, files, size));
        EXPECT_EQ(dirs, 0u);
        EXPECT_EQ(files, 0u);
        EXPECT_EQ(size, 0u);
    }
}

TEST(DirMeasures, HostileNamesAreCountedLikeAnyOther) {
    TempVolume vol;
    const char* names[] = {"it's \"quoted\"", "new\nline", "..x", "-rf", "名前 ünïcødé", " "};
    for (const char* n : names)
        vol.write(std::string("/t/") + n + "/f", "123");
    uint64_t dirs = 0, files = 0;
    std::optional<uint64_t> size;
    files::countContents("/t", dirs, files, size);
    EXPECT_EQ(dirs, std::size(names));
    EXPECT_EQ(files, std::size(names));
    EXPECT_EQ(size, 3 * std::size(names));
}

TEST(DirMeasures, UnreadableFoldersAreSkippedAndTheWalkGoesOn) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every folder";
    TempVolume vol;
    vol.write("/t/locked/secret", std::string(100, 's'));
    vol.write("/t/open/visible", std::string(3, 'v'));
    std::filesystem::permissions(vol.host("/t/locked"), std::filesystem::perms::none);
    EXPECT_EQ(files::folderSize("/t"), 3u);
}

// ---- Removing ----

struct Removal {
    const char* name;
    void (*remove)(const std::string&);
    bool trashes;
};
const Removal kRemovals[] = {
    {"DirRemoveToTrash", &files::moveToTrash, true},
    {"Delete", &files::deleteItem, false},
};

TEST(Removal, FilesAndFoldersWithHostileNamesLeaveTheirPlace) {
    const char* names[] = {"Foo.app", "it's \"quoted\".app", "new\nline", "名前 ünïcødé.app",
                           "-rf",     "$(touch pwned)",      "..app"};
    for (const Removal& r : kRemovals) {
        for (const char* n : names) {
            SCOPED_TRACE(std::string(r.name) + ": " + n);
            TempVolume vol;
            const std::string path = std::string("/Applications/") + n;
            vol.write(path + "/Contents/Info.plist", "x");
            vol.write("/Applications/Neighbour.app/Contents/Info.plist", "y");
            Journal journal;
            {
                JournalScope scope(journal);
                r.remove(path);
            }
            EXPECT_FALSE(vol.exists(path));
            EXPECT_TRUE(vol.exists("/Applications/Neighbour.app/Contents/Info.plist"));
            EXPECT_FALSE(vol.exists("/Applications/pwned"));
            auto entries = journal.entries();
            ASSERT_EQ(entries.size(), 1u);
            EXPECT_EQ(entries[0].subject, path);
            if (r.trashes) {
                EXPECT_EQ(entries[0].action, JournalAction::MovedToTrash);
                // The detail says where it went, and it can be found there.
                EXPECT_TRUE(vol.exists(entries[0].detail)) << entries[0].detail;
                EXPECT_EQ(vol.read(entries[0].detail + "/Contents/Info.plist"), "x");
            }
        }
    }
}

TEST(Removal, TrashedItemsCanBePutBack) {
    TempVolume vol;
    vol.write("/Library/Caches/com.foo/cache.db", "data");
    files::moveToTrash("/Library/Caches/com.foo");
    ASSERT_FALSE(vol.exists("/Library/Caches/com.foo"));
    auto records = platform::trash::records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].originalPath, "/Library/Caches/com.foo");
    EXPECT_TRUE(platform::trash::putBack(records[0]).moved);
    EXPECT_EQ(vol.read("/Library/Caches/com.foo/cache.db"), "data");
}

TEST(Removal, MissingPathsAndDanglingLinksAreLeftAloneQuietly) {
    for (const Removal& r : kRemovals) {
        SCOPED_TRACE(r.name);
        TempVolume vol;
        vol.symlink("Gone.app", "/Applications/Dangling.app");
        Journal journal;
        {
            JournalScope scope(journal);
            r.remove("/Applications/Missing.app");
            r.remove("/Applications/Dangling.app");
        }
        EXPECT_TRUE(vol.exists("/Applications/Dangling.app"));
        EXPECT_TRUE(journal.entries().empty());
    }
}

TEST(Removal, ALinkIsRemovedAsALinkAndItsTargetStays) {
    for (const Removal& r : kRemovals) {
        SCOPED_TRACE(r.name);
        TempVolume vol;
        vol.write("/Users/tester/Documents/thesis.txt", "years of work");
        vol.symlink("../../Users/tester/Documents", "/Library/Caches/com.foo");
        r.remove("/Library/Caches/com.foo");
        EXPECT_FALSE(vol.exists("/Library/Caches/com.foo"));
        EXPECT_EQ(vol.read("/Users/tester/Documents/thesis.txt"), "years of work");
    }
}

TEST(Removal, GuardedFoldersAreRefusedAndJournalled) {
    const char* guarded[] = {"/Applications",
                             "/Library/Caches",
                             "/Users/tester",
                             "/Users/tester/Library",
                             "/Library/Caches/../../Users",
                             "/Users/tester/Library/Application Support"};
    for (const Removal& r : kRemovals) {
        for (const char* path : guarded) {
            SCOPED_TRACE(std::string(r.name) + ": " + path);
            TempVolume vol;
            vol.write("/Applications/Foo.app/Contents/Info.plist", "x");
            vol.write("/Library/Caches/com.foo/c", "x");
            vol.write("/Users/tester/Library/Application Support/Foo/f", "x");
            Journal journal;
            {
                JournalScope scope(journal);
                r.remove(path);
            }
            EXPECT_TRUE(vol.exists("/Applications/Foo.app/Contents/Info.plist"));
            EXPECT_TRUE(vol.exists("/Library/Caches/com.foo/c"));
            EXPECT_TRUE(vol.exists("/Users/tester/Library/Application Support/Foo/f"));
            auto entries = journal.entries();
            ASSERT_EQ(entries.size(), 1u);
            EXPECT_EQ(entries[0].action, JournalAction::RefusedByGuard);
            EXPECT_EQ(entries[0].subject, path);
            EXPECT_FALSE(entries[0].detail.empty());
        }
    }
}

TEST(Removal, ADryRunRecordsAndTouchesNothing) {
    for (const Removal& r : kRemovals) {
        SCOPED_TRACE(r.name);
        TempVolume vol;
        vol.write("/Library/Caches/com.foo/c", "x");
        Journal journal(/*dryRun=*/true);
        {
            JournalScope scope(journal);
            r.remove("/Library/Caches/com.foo");
        }
        EXPECT_TRUE(vol.exists("/Library/Caches/com.foo/c"));
        EXPECT_FALSE(vol.exists("/Users/tester/.Trash/com.foo"));
        auto entries = journal.entries();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].action,
                  r.trashes ? JournalAction::MovedToTrash : JournalAction::ForceRemoved);
        EXPECT_TRUE(entries[0].dryRun);
    }
}

}  // namespace
}  // namespace vendrel
