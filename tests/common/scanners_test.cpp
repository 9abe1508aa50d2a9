// The library-location scanners on temporary volumes: which folders each one lists and in
// which order, the substring rule, the launchd jobs judged by program path, the per-user
// temporary-folder walk, and the fragments that must match nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "common/journal.h"
#include "common/scanners.h"
#include "platform/fs.h"
#include "platform/plist.h"
#include "tests/common/sweep_test_util.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

using platform::plist::Array;
using platform::plist::Dictionary;
using test::movedToTrash;
using test::TempVolume;

constexpr const char* kSfl =
    "/Library/Application Support/com.apple.sharedfilelist/"
    "com.apple.LSSharedFileList.ApplicationRecentDocuments";

// Every folder any scanner could look at, system-wide and below the home folder.
std::vector<std::string> allLibraryFolders(const std::string& home) {
    std::vector<std::string> out{"/private/var/db/receipts", "/System/Library/Extensions"};
    for (const char* literal :
         {"/Library/LaunchDaemons", "/Library/LaunchAgents", "/Library/Preferences",
          "/Library/Caches", "/Library/Extensions", "/Library/Cookies",
          "/Library/Saved Application State", "/Library/Containers", "/Library/Group Containers",
          "/Library/Logs", kSfl}) {
        out.push_back(literal);
        out.push_back(home + literal);
    }
    return out;
}

using Scanner = std::function<bool(const std::string& fragment, bool isDelete)>;

struct FlatScanner {
    const char* name;
    Scanner run;
    std::vector<std::string> folders;  // in listing order; "~" stands for the home folder
};

std::vector<FlatScanner> flatScanners() {
    return {
        {"LaunchDaemons",
         [](const std::string& f, bool d) { return scanners::launchDaemons(nullptr, f, d); },
         {"/Library/LaunchDaemons", "~/Library/LaunchDaemons"}},
        {"LaunchAgents",
         [](const std::string& f, bool d) { return scanners::launchAgents(nullptr, f, d); },
         {"/Library/LaunchAgents", "~/Library/LaunchAgents"}},
        {"Preferences",
         [](const std::string& f, bool d) { return scanners::preferences(nullptr, f, d); },
         {"/Library/Preferences", "~/Library/Preferences"}},
        {"Receipts", scanners::receipts, {"/private/var/db/receipts"}},
        {"Caches", scanners::caches, {"~/Library/Caches", "/Library/Caches"}},
        {"Extensions", scanners::extensions, {"/Library/Extensions", "/System/Library/Extensions"}},
        {"Cookies", scanners::cookies, {"~/Library/Cookies"}},
        {"SavedState", scanners::savedState, {"~/Library/Saved Application State"}},
        {"Containers", scanners::containers, {"~/Library/Containers"}},
        {"GroupContainers", scanners::groupContainers, {"~/Library/Group Containers"}},
        {"Logs", scanners::logs, {"/Library/Logs", "~/Library/Logs"}},
        {"RecentDocuments", scanners::sharedFileLists, {std::string("~") + kSfl}},
    };
}

std::string expandHome(const std::string& folder, const std::string& home) {
    return folder.starts_with("~") ? home + folder.substr(1) : folder;
}

// Each scanner takes matching entries from its own folders, in its own order, from the folder
// where it listed them, and never looks anywhere else.
TEST(Scanners, EachFlatScannerListsItsOwnFoldersInOrder) {
    for (const auto& scanner : flatScanners()) {
        SCOPED_TRACE(scanner.name);
        TempVolume vol;
        for (const auto& folder : allLibraryFolders(vol.home())) {
            vol.write(folder + "/com.foo.helper.plist", "x");
            vol.mkdir(folder + "/com.foo.data");
        }
        Journal journal;
        {
            JournalScope scope(journal);
            EXPECT_TRUE(scanner.run("com.foo", true));
        }
        std::vector<std::string> expected;
        for (const auto& folder : scanner.folders) {
            // Within one folder the file system's order decides; compare per folder.
            expected.push_back(expandHome(folder, vol.home()));
        }
        std::vector<std::string> foldersSeen;
        std::vector<std::string> moved = movedToTrash(journal);
        for (const auto& path : moved) {
            std::string folder = std::filesystem::path(path).parent_path().string();
            if (foldersSeen.empty() || foldersSeen.back() != folder)
                foldersSeen.push_back(folder);
        }
        EXPECT_EQ(foldersSeen, expected);
        EXPECT_EQ(moved.size(), 2 * expected.size());
        for (const auto& folder : allLibraryFolders(vol.home())) {
            const bool listed =
                std::find(expected.begin(), expected.end(), folder) != expected.end();
            EXPECT_EQ(vol.exists(folder + "/com.foo.helper.plist"), !listed) << folder;
            EXPECT_EQ(vol.exists(folder + "/com.foo.data"), !listed) << folder;
        }
    }
}

// Identifiers match at component boundaries, case-insensitively: a substring rule took
// "xcom.foo" and "com.fooo", another product's entries.
TEST(Scanners, MatchIsCaseInsensitiveAtComponentBoundaries) {
    TempVolume vol;
    struct Row {
        const char* name;
        bool taken;
    } rows[] = {
        {"com.foo.agent.plist", true}, {"COM.FOO.agent.plist", true}, {"xcom.foo.plist", false},
        {"com.foo.cache", true},       {"com.fo.plist", false},       {"com_foo.plist", false},
        {"com.fooo.plist", false},
    };
    for (const auto& row : rows)
        vol.write(std::string("/Library/LaunchAgents/") + row.name, "x");
    vol.mkdir("/Library/LaunchAgents/com.foo.folder");
    EXPECT_TRUE(scanners::launchAgents(nullptr, "com.foo", true));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(vol.exists(std::string("/Library/LaunchAgents/") + row.name), !row.taken);
    }
    EXPECT_FALSE(vol.exists("/Library/LaunchAgents/com.foo.folder"));
    EXPECT_TRUE(vol.exists(vol.home() + "/.Trash/com.foo.folder"));
}

// Every scanner, with remove false or a fragment that cannot name anything, moves nothing
// and still returns its usual result.
TEST(Scanners, NothingMovesWithoutDeleteOrWithAnEmptyFragment) {
    struct Row {
        const char* fragment;
        bool isDelete;
    } rows[] = {{"com.foo", false}, {"", true},   {" ", true},  {".", true},
                {"..", true},       {"\t", true}, {" . ", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string("fragment \"") + row.fragment + "\" delete " +
                     (row.isDelete ? "true" : "false"));
        TempVolume vol;
        for (const auto& folder : allLibraryFolders(vol.home())) {
            vol.write(folder + "/com.foo.plist", "x");
            vol.write(folder + "/.hidden", "x");
        }
        vol.mkdir("/private/var/folders/vd/ab/C/com.foo");
        for (const auto& scanner : flatScanners())
            EXPECT_TRUE(scanner.run(row.fragment, row.isDelete)) << scanner.name;
        EXPECT_TRUE(scanners::temporaryFolders(row.fragment, row.isDelete));
        for (const auto& folder : allLibraryFolders(vol.home())) {
            EXPECT_TRUE(vol.exists(folder + "/com.foo.plist")) << folder;
            EXPECT_TRUE(vol.exists(folder + "/.hidden")) << folder;
        }
        EXPECT_TRUE(vol.exists("/private/var/folders/vd/ab/C/com.foo"));
    }
}

TEST(Scanners, LinkInAScannedFolderIsMovedAsALink) {
    TempVolume vol;
    TempVolume outside;  // another folder on the host, outside the scanned volume
    outside.write("/keep/data.txt", "precious");
    ::setenv("VENDREL_ROOT", vol.root().c_str(), 1);
    ::setenv("VENDREL_HOME", vol.home().c_str(), 1);
    vol.symlink(outside.host("/keep"), "/Library/Caches/com.foo.link");
    vol.symlink(outside.host("/keep/data.txt"), vol.home() + "/Library/Caches/com.foo.file");
    EXPECT_TRUE(scanners::caches("com.foo", true));
    EXPECT_FALSE(vol.exists("/Library/Caches/com.foo.link"));
    EXPECT_FALSE(vol.exists(vol.home() + "/Library/Caches/com.foo.file"));
    struct stat st {};
    ASSERT_EQ(::lstat(vol.host(vol.home() + "/.Trash/com.foo.link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(outside.read("/keep/data.txt"), "precious");
}

// A home folder that is relative, "/" or climbs out must not turn "<home>/Library/Cookies"
// into the system's "/Library/Cookies": the home-only scanners then touch nothing at all.
TEST(Scanners, UnusableHomeFolderSkipsTheHomeFolders) {
    for (const char* home : {"relative/home", "/", "/Users/../.."}) {
        SCOPED_TRACE(home);
        TempVolume vol;
        ::setenv("VENDREL_HOME", home, 1);
        for (const auto& folder : allLibraryFolders("/nohome"))
            vol.write(folder + "/com.foo.x", "x");
        Journal journal;
        {
            JournalScope scope(journal);
            for (const auto& scanner : flatScanners())
                scanner.run("com.foo", true);
        }
        std::vector<std::string> tried;
        for (const auto& e : journal.entries())
            tried.push_back(e.subject);
        for (const char* homeOnly : {"/Library/Cookies/com.foo.x", "/Library/Containers/com.foo.x",
                                     "/Library/Saved Application State/com.foo.x",
                                     "/Library/Group Containers/com.foo.x"}) {
            EXPECT_EQ(std::count(tried.begin(), tried.end(), homeOnly), 0) << homeOnly;
            EXPECT_TRUE(vol.exists(homeOnly)) << homeOnly;
        }
        // The system folders are still swept, each once.
        EXPECT_EQ(std::count(tried.begin(), tried.end(), "/Library/Caches/com.foo.x"), 1);
    }
}

// ---- Launchd jobs by program path ----

Dictionary job(const char* program, const Array* args = nullptr) {
    Dictionary d{{"Label", "x"}};
    if (program)
        d["Program"] = program;
    if (args)
        d["ProgramArguments"] = *args;
    return d;
}

void writeJob(const TempVolume& vol, const std::string& path, const Dictionary& d) {
    vol.write(path, platform::plist::toXml(platform::plist::Value(d)));
}

TEST(Scanners, LaunchJobsAreJudgedByTheirProgramPath) {
    TempVolume vol;
    const Array fooArgs{"/Applications/Foo.app/Contents/MacOS/Foo", "--daemon"};
    const Array otherArgs{"/usr/bin/other"};
    const Array empty{};
    const Array nonString{int64_t{7}, "/Applications/Foo.app/x"};
    struct Row {
        const char* name;
        Dictionary job;
        bool taken;
    } rows[] = {
        {"program.plist", job("/Applications/Foo.app/Contents/MacOS/Foo"), true},
        {"case.plist", job("/APPLICATIONS/foo.APP/Contents/MacOS/Foo"), true},
        {"args.plist", job(nullptr, &fooArgs), true},
        {"program-wins.plist", job("/usr/bin/other", &fooArgs), true /* see below */},
        {"program-wins-2.plist", job("/Applications/Foo.app/x", &otherArgs), true},
        {"empty-args.plist", job(nullptr, &empty), false},
        {"first-not-string.plist", job(nullptr, &nonString), false},
        {"other.plist", job("/Applications/Foobar2.app/x"), false},
        {"no-program.plist", job(nullptr), false},
    };
    // "Program" wins over "ProgramArguments": a job running /usr/bin/other stays even when
    // its arguments name the application.
    rows[3].taken = false;
    for (const auto& row : rows)
        writeJob(vol, std::string("/Library/LaunchAgents/") + row.name, row.job);
    // "Program" that is not a string matches nothing, even with matching arguments.
    Dictionary intProgram = job(nullptr, &fooArgs);
    intProgram["Program"] = int64_t{1};
    writeJob(vol, "/Library/LaunchAgents/int-program.plist", intProgram);
    Dictionary argsNotList = job(nullptr);
    argsNotList["ProgramArguments"] = "/Applications/Foo.app/Contents/MacOS/Foo";
    writeJob(vol, "/Library/LaunchAgents/args-not-list.plist", argsNotList);
    vol.write("/Library/LaunchAgents/binary.plist",
              test::binaryPlist(job("/Applications/Foo.app/Contents/MacOS/Foo")));
    vol.write("/Library/LaunchAgents/broken.plist", "<plist><dict><key>Program");
    vol.mkdir("/Library/LaunchAgents/folder.plist");
    ASSERT_EQ(::mkfifo(vol.host("/Library/LaunchAgents/fifo.plist").c_str(), 0644), 0);
    writeJob(vol, vol.home() + "/Library/LaunchAgents/user.plist",
             job("/Applications/Foo.app/Contents/MacOS/Helper"));
    writeJob(vol, "/Library/LaunchDaemons/daemon.plist", job("/Applications/Foo.app/x"));

    Journal journal;
    {
        JournalScope scope(journal);
        EXPECT_TRUE(scanners::launchAgentsByProgram("/Applications/Foo.app", true));
    }
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(vol.exists(std::string("/Library/LaunchAgents/") + row.name), !row.taken);
    }
    for (const char* kept :
         {"/Library/LaunchAgents/int-program.plist", "/Library/LaunchAgents/args-not-list.plist",
          "/Library/LaunchAgents/broken.plist", "/Library/LaunchAgents/folder.plist",
          "/Library/LaunchDaemons/daemon.plist"})
        EXPECT_TRUE(vol.exists(kept)) << kept;
    EXPECT_FALSE(vol.exists("/Library/LaunchAgents/binary.plist"));
    EXPECT_FALSE(vol.exists(vol.home() + "/Library/LaunchAgents/user.plist"));
    // The system folder is done before the home folder.
    const auto moved = movedToTrash(journal);
    ASSERT_FALSE(moved.empty());
    EXPECT_EQ(moved.back(), vol.home() + "/Library/LaunchAgents/user.plist");
}

TEST(Scanners, LaunchJobScansNeedThreeComponentsAndAnExistingFolder) {
    TempVolume vol;
    writeJob(vol, "/Library/LaunchDaemons/a.plist", job("/Applications/Foo.app/Contents/MacOS/a"));
    writeJob(vol, "/Library/LaunchDaemons/b.plist", job("/usr/bin/b"));
    struct Row {
        const char* path;
        bool result;
    } rows[] = {{"/Applications", false},
                {"/", false},
                {"", false},
                {"Applications/Foo.app", false},
                {"/Applications/Bar.app", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(scanners::launchDaemonsByProgram(row.path, true), row.result);
        EXPECT_TRUE(vol.exists("/Library/LaunchDaemons/a.plist"));
        EXPECT_TRUE(vol.exists("/Library/LaunchDaemons/b.plist"));
    }
    EXPECT_FALSE(scanners::launchJobsByProgram("/Applications/Foo.app", true, "/Library/Nope"));
    // Called directly with a two-component path, the job scan takes nothing either.
    EXPECT_TRUE(scanners::launchJobsByProgram("/usr", true, "/Library/LaunchDaemons"));
    EXPECT_TRUE(vol.exists("/Library/LaunchDaemons/b.plist"));
    EXPECT_TRUE(scanners::launchDaemonsByProgram("/Applications/Foo.app", false));
    EXPECT_TRUE(vol.exists("/Library/LaunchDaemons/a.plist"));
    EXPECT_TRUE(scanners::launchDaemonsByProgram("/Applications/Foo.app", true));
    EXPECT_FALSE(vol.exists("/Library/LaunchDaemons/a.plist"));
}

// ---- The per-user temporary folders ----
//
//   /private/var/folders/vd/ab/xy/
//       C/com.foo.app/              moved (and its sub-folder com.foo.app/com.foo.cache with it)
//       T/com.foo.plist             a file: stays
//       T/com.foo.link -> outside   a link: stays, target untouched
//       0/other/                    stays
//   /private/var/folders/zz/com.foo stays: only "vd" is walked
TEST(Scanners, TemporaryFolderWalkMovesMatchingFoldersOnly) {
    TempVolume vol;
    TempVolume outside;
    outside.mkdir("/target");
    ::setenv("VENDREL_ROOT", vol.root().c_str(), 1);
    ::setenv("VENDREL_HOME", vol.home().c_str(), 1);
    const std::string base = "/private/var/folders/vd/ab/xy";
    vol.mkdir(base + "/C/com.foo.app/com.foo.cache");
    vol.write(base + "/T/com.foo.plist", "x");
    vol.symlink(outside.host("/target"), base + "/T/com.foo.link");
    vol.mkdir(base + "/0/other");
    vol.mkdir("/private/var/folders/zz/com.foo");
    Journal journal;
    {
        JournalScope scope(journal);
        EXPECT_TRUE(scanners::temporaryFolders("COM.FOO", true));
    }
    EXPECT_EQ(movedToTrash(journal), std::vector<std::string>{base + "/C/com.foo.app"});
    EXPECT_TRUE(vol.exists(base + "/T/com.foo.plist"));
    EXPECT_TRUE(vol.exists(base + "/T/com.foo.link"));
    EXPECT_TRUE(vol.exists(base + "/0/other"));
    EXPECT_TRUE(vol.exists("/private/var/folders/zz/com.foo"));
    EXPECT_TRUE(outside.exists("/target"));
}

// A fragment found in "/private/var/folders/vd/" itself would match every item of the walk.
TEST(Scanners, TemporaryFolderWalkRefusesFragmentsOfItsOwnPath) {
    for (const char* fragment : {"/", "private", "var/folders", "vd", "/vd/", "FOLDERS"}) {
        SCOPED_TRACE(fragment);
        TempVolume vol;
        vol.mkdir("/private/var/folders/vd/ab/C/vd.cache");
        EXPECT_TRUE(scanners::temporaryFolders(fragment, true));
        EXPECT_TRUE(vol.exists("/private/var/folders/vd/ab/C/vd.cache"));
    }
}

// When a matching folder cannot be moved, the walk goes on into it and tries the folders
// below (which match too, the test being on the full path). Here the Trash cannot be made:
// a plain file stands where the Trash folder belongs.
TEST(Scanners, TemporaryFolderWalkDescendsIntoAFolderItCouldNotMove) {
    TempVolume vol;
    vol.write(vol.home() + "/.Trash", "not a folder");
    vol.mkdir("/private/var/folders/vd/ab/com.foo/sub");
    vol.mkdir("/private/var/folders/vd/ab/com.foo/com.foo.helper");
    Journal journal;
    {
        JournalScope scope(journal);
        scanners::temporaryFolders("com.foo", true);
    }
    std::vector<std::string> tried;
    for (const auto& e : journal.entries())
        tried.push_back(e.subject);
    // Folders are matched on their own name: "sub" lies below a matching folder but is not
    // named after the identifier.
    EXPECT_EQ(tried,
              (std::vector<std::string>{"/private/var/folders/vd/ab/com.foo",
                                        "/private/var/folders/vd/ab/com.foo/com.foo.helper"}));
    EXPECT_TRUE(vol.exists("/private/var/folders/vd/ab/com.foo/sub"));
}

}  // namespace
}  // namespace vendrel
