// Stopping applications (real processes on temporary volumes), the OS generation and the
// link-or-alias test.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <thread>

#include "common/files.h"
#include "common/journal.h"
#include "common/processes.h"
#include "common/system_info.h"
#include "tests/support/child_process.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

using platform::plist::Dictionary;
using test::Child;
using test::TempVolume;

struct Bundle {
    const char* path;
    Dictionary info;
    const char* executable;
};

// Started in this order, so the workspace lists them in this order.
const Bundle kFleet[] = {
    {"/Applications/Foo.app", {{"CFBundleName", "Foo"}}, "Foo"},
    {"/Applications/Foo.app/Contents/Helpers/FooHelper.app",
     {{"CFBundleName", "Foo Helper"}},
     "FooHelper"},
    {"/Applications/Copy/Foo.app", {{"CFBundleName", "Foo"}}, "Foo"},
    {"/Applications/Bar.app",
     {{"CFBundleName", "Bar"}, {"CFBundleDisplayName", "Bar Deluxe"}},
     "barexe"},
    {"/Applications/Nameless.app", {{"CFBundleExecutable", "Nameless"}}, "Nameless"},
    {"/Applications/It's \"quoted\".app", {{"CFBundleName", "It's \"quoted\"\n名前"}}, "q"},
};

// A volume with every bundle of kFleet running.
struct Fleet {
    TempVolume vol;
    std::vector<std::unique_ptr<Child>> children;

    Fleet() {
        for (const Bundle& b : kFleet) {
            vol.makeBundle(b.path, b.info, /*binary=*/children.size() % 2 == 1);
            const std::string exe = std::string(b.path) + "/Contents/MacOS/" + b.executable;
            test::installProgram(vol, exe);
            children.push_back(std::make_unique<Child>(vol.host(exe)));
        }
    }

    // Exactly the processes at `killed` ended by SIGKILL; every other one still runs.
    void expectOnlyKilled(const std::set<size_t>& killed) {
        for (size_t i : killed) {
            EXPECT_TRUE(children[i]->killedWithin(std::chrono::seconds(10))) << kFleet[i].path;
        }
        if (killed.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (size_t i = 0; i < children.size(); ++i) {
            if (!killed.count(i)) {
                EXPECT_TRUE(children[i]->running()) << kFleet[i].path;
            }
        }
    }
};

using Strings = std::vector<std::string>;

TEST(StopApplications, OnlyTheRightProcessesDie) {
    struct Row {
        const char* what;
        std::function<bool()> call;
        bool answer;
        std::set<size_t> killed;
    };
    const Row rows[] = {
        // By name: the first match in the workspace's list only, case-insensitively.
        {"name foo", [] { return processes::killByName("foo"); }, true, {0}},
        {"name BAR", [] { return processes::killByName("BAR"); }, true, {3}},
        {"hostile name", [] { return processes::killByName("it's \"QUOTED\"\n名前"); }, true, {5}},
        // Never by the executable's file name or the display name; a bundle without
        // CFBundleName is never stopped by name.
        {"executable name", [] { return processes::killByName("barexe"); }, false, {}},
        {"display name", [] { return processes::killByName("Bar Deluxe"); }, false, {}},
        {"nameless", [] { return processes::killByName("Nameless"); }, false, {}},
        {"absent name", [] { return processes::killByName(std::nullopt); }, false, {}},
        // By folder: every application whose bundle path contains it, case-insensitively.
        {"folder", [] { return processes::killInFolder("/Applications/Foo.app"); }, true, {0, 1}},
        {"folder other case",
         [] { return processes::killInFolder("/applications/FOO.APP"); },
         true,
         {0, 1}},
        {"vendor folder", [] { return processes::killInFolder("/Applications/Copy"); }, true, {2}},
        {"folder nothing runs in",
         [] { return processes::killInFolder("/Applications/None.app"); },
         true,
         {}},
        {"absent folder", [] { return processes::killInFolder(std::nullopt); }, false, {}},
        // A folder that holds everything would force-quit every application: refused.
        {"root folder", [] { return processes::killInFolder("/"); }, true, {}},
        {"Applications folder", [] { return processes::killInFolder("/Applications"); }, true, {}},
        {"empty folder", [] { return processes::killInFolder(""); }, true, {}},
        // By a list of folders.
        {"folder list",
         [] {
             return processes::killInFolders(
                 Strings{"/Applications/Bar.app", "/Applications/Foo.app"});
         },
         true,
         {0, 1, 3}},
        {"overlapping folders",
         [] {
             return processes::killInFolders(
                 Strings{"/Applications/Foo.app", "/Applications/Foo.app/Contents/Helpers"});
         },
         true,
         {0, 1}},
        {"list with a guarded folder",
         [] {
             return processes::killInFolders(Strings{"/", "/Applications/Copy/Foo.app"});
         },
         true,
         {2}},
        {"empty list", [] { return processes::killInFolders(Strings{}); }, false, {}},
        {"absent list", [] { return processes::killInFolders(std::nullopt); }, false, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Fleet fleet;
        EXPECT_EQ(r.call(), r.answer);
        fleet.expectOnlyKilled(r.killed);
    }
}

TEST(StopApplications, NothingRunningAnswersAsSpecifiedForEachOperation) {
    TempVolume vol;
    EXPECT_FALSE(processes::killByName("Foo"));
    EXPECT_TRUE(processes::killInFolder("/Applications/Foo.app"));
    EXPECT_TRUE(processes::killInFolders(Strings{"/Applications/Foo.app"}));
}

TEST(StopApplications, StoppingIsJournalledAndADryRunStopsNothing) {
    {
        Fleet fleet;
        Journal journal;
        JournalScope scope(journal);
        EXPECT_TRUE(processes::killByName("Bar"));
        fleet.expectOnlyKilled({3});
        auto entries = journal.entries();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].action, JournalAction::ProcessStopped);
        EXPECT_EQ(entries[0].subject, "/Applications/Bar.app");
        EXPECT_EQ(entries[0].detail, std::to_string(fleet.children[3]->pid()));
        EXPECT_FALSE(entries[0].dryRun);
    }
    {
        Fleet fleet;
        Journal journal(/*dryRun=*/true);
        JournalScope scope(journal);
        EXPECT_TRUE(processes::killByName("Foo"));
        EXPECT_TRUE(processes::killInFolder("/Applications"));
        EXPECT_TRUE(processes::killInFolder("/Applications/Foo.app"));
        fleet.expectOnlyKilled({});
        Strings stopped;
        for (const auto& e : journal.entries()) {
            if (e.action == JournalAction::ProcessStopped) {
                EXPECT_TRUE(e.dryRun);
                stopped.push_back(e.subject);
            }
        }
        EXPECT_EQ(stopped, (Strings{"/Applications/Foo.app", "/Applications/Foo.app",
                                    "/Applications/Foo.app/Contents/Helpers/FooHelper.app"}));
    }
}

TEST(OSVersion, GenerationFromTheVolumesSystemVersion) {
    struct Row {
        const char* productVersion;  // nullptr: no SystemVersion.plist
        const char* text;
    };
    const Row rows[] = {
        {"10.6.8", "Mac OS X 10.8.x"},        {"10.8.5", "Mac OS X 10.8.x"},
        {"10.9", "Mac OS X 10.9.x"},          {"10.10.5", "Mac OS X 10.10.x"},
        {"10.11.6", "Mac OS X 10.11.x"},      {"10.12", "Mac OS X 10.12.x later"},
        {"14.2.1", "Mac OS X 10.12.x later"}, {nullptr, "Mac OS X 10.12.x later"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.productVersion ? r.productVersion : "(none)");
        TempVolume vol;
        if (r.productVersion) {
            vol.write("/System/Library/CoreServices/SystemVersion.plist",
                      test::binaryPlist(
                          {{"ProductName", "Mac OS X"}, {"ProductVersion", r.productVersion}}));
        }
        EXPECT_EQ(system::osVersion(), r.text);
    }
}

TEST(SymbolicLinkOrAlias, LinksDanglingOrNotAndAliasFilesOnly) {
    TempVolume vol;
    vol.write("/d/plain", "text");
    vol.mkdir("/d/folder");
    vol.makeBundle("/d/Bundle.app", {{"CFBundleName", "B"}});
    vol.symlink("plain", "/d/link");
    vol.symlink("gone", "/d/dangling");
    vol.symlink("folder", "/d/folderlink");
    vol.write("/d/alias", std::string("book\0\0\0\0mark\0\0\0\0", 16) + std::string(100, '\0'));
    vol.write("/d/almost", "book and mark");
    vol.write("/d/short", "book");
    struct Row {
        const char* path;
        bool answer;
    };
    const Row rows[] = {
        {"/d/missing", false},    {"/d/plain", false}, {"/d/folder", false},
        {"/d/Bundle.app", false}, {"/d/link", true},   {"/d/dangling", true},
        {"/d/folderlink", true},  {"/d/alias", true},  {"/d/almost", false},
        {"/d/short", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        EXPECT_EQ(files::isLinkOrAlias(r.path), r.answer);
    }
}

}  // namespace
}  // namespace vendrel
