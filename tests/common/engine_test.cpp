// The extended delete engine on temporary volumes, with the real bash: dispatch, the sweep in
// both modes, the self-removal, force removal and its quoting, and the guards against
// hostile names, identifiers and links.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "common/extended_delete.h"
#include "common/force_removal.h"
#include "common/home_setting.h"
#include "common/journal.h"
#include "platform/plist.h"
#include "tests/common/sweep_test_util.h"
#include "tests/support/child_process.h"
#include "tests/support/server.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

namespace Engine = extended_delete;
using platform::plist::Dictionary;
using test::Child;
using test::movedToTrash;
using test::ScopedEnv;
using test::subjects;
using test::TempVolume;
namespace stdfs = std::filesystem;

// A file that only the command list below removes; what it removes goes to root's Trash.
constexpr const char* kListedMarker = "/Library/Caches/com.listed.marker";
const std::string kListedRemoval = std::string("rm -rf ") + kListedMarker;

struct Run {
    std::string installPath;
    std::string name = "Foo";
    std::string publisher = "com.foo.bar";
    std::optional<std::string> commandList = std::nullopt;
    bool userMode = true;
    bool dryRun = false;
};

std::vector<JournalEntry> sweep(const Run& run) {
    Journal journal(run.dryRun);
    {
        JournalScope scope(journal);
        Engine::run(run.installPath, run.name, run.publisher, run.commandList,
                    run.userMode ? Mode::User : Mode::Root);
    }
    return journal.entries();
}

std::vector<std::string> only(const std::vector<JournalEntry>& entries, JournalAction action) {
    std::vector<std::string> out;
    for (const auto& e : entries)
        if (e.action == action)
            out.push_back(e.subject);
    return out;
}

uint32_t modeOf(const std::string& host) {
    struct stat st {};
    return ::stat(host.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::string readHost(const std::string& host) {
    std::ifstream in(host);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// ---- Dispatch ----

TEST(EngineDispatch, FirstMatchingEntryPicksTheRoutines) {
    struct Row {
        const char* installPath;
        std::vector<std::string> routines;
    } rows[] = {
        {"/Applications/CleanMyMac X.app", {"CleanMyMac"}},
        {"/Applications/CleanMyMac 3.app", {"CleanMyMac"}},
        {"/Applications/Movavi Screen Capture Studio 3.app", {"MovaviScreenCaptureStudio3"}},
        {"/Applications/Movavi Screen Capture Studio 5.app", {"MovaviScreenCaptureStudio"}},
        {"/Applications/teamviewer.APP", {"TeamViewer"}},
        {"/Applications/Intego", {"Intego"}},
        {"/Applications/Intego.app", {}},
        {"/Applications/Andy.app", {"Andy"}},
        {"/Applications/Avira.app", {"Avira"}},
        {"/Library/PreferencePanes/TechTool Protection.prefPane", {"TechToolPro"}},
        {"/Library/PreferencePanes/MacFUSE.prefPane", {"NTFS3GMacFUSE", "OSXFUSE"}},
        {"/Applications/Sophos Home.app", {"SophosHome_Other", "SophosHome"}},
        {"/Applications/Paragon NTFS for Mac OS X 15.app", {"ParagonNTFS"}},
        {"/Applications/1Password 06.app", {"1Password6"}},  // digits by value
        {"/Applications/5KPlayer.app", {"5KPlayer"}},
        {"/Applications/Xcode 2.app", {}},
        {"/Applications/VyprVPN.app", {"VyprVPN"}},
        {"/Users/tester/Applications/Sub/Skype.app", {"Skype"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.installPath);
        TempVolume vol;
        const auto entries = sweep({.installPath = row.installPath, .dryRun = true});
        EXPECT_EQ(only(entries, JournalAction::RoutineSelected), row.routines);
        EXPECT_EQ(Engine::dispatchFor(stdfs::path(row.installPath).filename()), row.routines);
    }
}

// With fewer than three components nothing happens at all, even for a dispatch key and in
// root mode with a command list.
TEST(EngineDispatch, PathsOfFewerThanThreeComponentsDoNothing) {
    for (const char* path : {"/Andy.app", "/Vendrel.app", "/TeamViewer.app", "/", "", "Foo.app"}) {
        SCOPED_TRACE(path);
        TempVolume vol;
        vol.mkdir("/Andy.app");
        vol.mkdir("/Users/Shared/Foo");
        vol.write("/private/var/root/.Trash/old", "x");
        vol.write(kListedMarker, "x");
        const auto entries =
            sweep({.installPath = path, .commandList = kListedRemoval, .userMode = false});
        EXPECT_TRUE(entries.empty());
        EXPECT_TRUE(vol.exists("/Andy.app"));
        EXPECT_TRUE(vol.exists("/Users/Shared/Foo"));
        EXPECT_TRUE(vol.exists("/private/var/root/.Trash/old"));
        EXPECT_TRUE(vol.exists(kListedMarker));
    }
}

// ---- The sweep ----

// A volume with the leftovers of Foo (/Applications/Foo.app, com.foo.bar) in every place the
// sweep visits, and decoys that must survive.
struct FooVolume {
    TempVolume vol;
    std::string h = vol.home();
    std::vector<std::string> leftovers;  // in the order the user-mode sweep takes them
    std::vector<std::string> decoys;

    FooVolume() {
        vol.makeBundle("/Applications/Foo.app", {{"CFBundleName", "Foo"}});
        vol.write(kListedMarker, "only the command list removes this");
        const std::string sfl = h +
                                "/Library/Application Support/com.apple.sharedfilelist/"
                                "com.apple.LSSharedFileList.ApplicationRecentDocuments";
        leftovers = {
            "/Users/Shared/Foo",
            h + "/Library/Application Support/Foo",
            h + "/Library/Application Support/com.foo.bar",
            "/Library/Application Support/Foo",
            "/Library/Application Support/com.foo.bar",
            h + "/Library/Preferences/Foo",
            "/Library/Preferences/Foo",
            "/Library/LaunchAgents/com.foo.agent.plist",
            h + "/Library/LaunchAgents/helper.plist",
            "/Library/LaunchDaemons/daemon.plist",
            "/private/var/db/receipts/com.foo.bar.bom",
            h + "/Library/Caches/com.foo.bar",
            "/Library/Caches/com.foo.bar.updater",
            h + "/Library/Cookies/com.foo.bar.binarycookies",
            h + "/Library/Saved Application State/com.foo.bar.savedState",
            h + "/Library/Containers/com.foo.bar",
            h + "/Library/Group Containers/ABCDE.com.foo.bar",
            "/Library/Preferences/com.foo.bar.plist",
            h + "/Library/Preferences/com.foo.bar.plist",
            sfl + "/com.foo.bar.sfl2",
            "/private/var/folders/vd/ab/xy/C/com.foo.bar",
        };
        for (const auto& path : leftovers) {
            if (path.ends_with(".plist") && path.find("Launch") != std::string::npos)
                continue;
            vol.write(path + (path.ends_with(".plist") || path.ends_with(".bom") ||
                                      path.ends_with("cookies") || path.ends_with(".sfl2")
                                  ? ""
                                  : "/data"),
                      "x");
        }
        writeJob("/Library/LaunchAgents/com.foo.agent.plist",
                 {{"Program", "/Applications/Foo.app/Contents/MacOS/FooAgent"}});
        writeJob(h + "/Library/LaunchAgents/helper.plist",
                 {{"ProgramArguments",
                   platform::plist::Array{h + "/Library/Application Support/Foo/helper"}}});
        writeJob("/Library/LaunchDaemons/daemon.plist",
                 {{"Program", "/Library/Application Support/com.foo.bar/daemon"}});

        decoys = {
            "/Library/Caches/com.other.app/data",
            h + "/Library/Caches/com.foo.ba/data",  // one character short of the identifier
            h + "/Library/Preferences/com.foo.baz.plist",
            h + "/Documents/Foo/thesis.txt",
            "/Users/Shared/Fooo/data",
            "/Library/Application Support/Food/data",
            "/private/var/folders/vd/ab/xy/C/com.foo.ba/data",
            "/private/var/folders/vd/ab/xy/T/com.foo.bar.plist",  // a file, not a folder
            "/Library/LaunchAgents/com.other.plist",
            "/Applications/Other.app/Contents/Info.plist",
        };
        for (const auto& path : decoys)
            vol.write(path, "keep");
        writeJob("/Library/LaunchAgents/com.other.plist",
                 {{"Program", "/Applications/Food.app/Contents/MacOS/Food"}});
        decoys.push_back("/Applications/Foo.app/Contents/Info.plist");  // user mode keeps it
    }
    void writeJob(const std::string& path, const Dictionary& job) const {
        vol.write(path, platform::plist::toXml(platform::plist::Value(job)));
    }
};

TEST(EngineSweep, UserModeTakesEveryLeftoverInOrderAndNothingElse) {
    FooVolume foo;
    foo.vol.write("/private/var/root/.Trash/old", "x");
    const auto entries =
        sweep({.installPath = "/Applications/Foo.app", .commandList = kListedRemoval});
    EXPECT_EQ(only(entries, JournalAction::MovedToTrash), foo.leftovers);
    for (const auto& path : foo.leftovers)
        EXPECT_FALSE(foo.vol.exists(path)) << path;
    for (const auto& path : foo.decoys)
        EXPECT_TRUE(foo.vol.exists(path)) << path;
    // User mode never force-removes, purges root's Trash or runs the command list.
    for (auto action : {JournalAction::ForceRemoved, JournalAction::ShellLineRun,
                        JournalAction::CommandListRun, JournalAction::PatternRemoved})
        EXPECT_TRUE(only(entries, action).empty()) << toString(action);
    EXPECT_TRUE(foo.vol.exists("/private/var/root/.Trash/old"));
    EXPECT_TRUE(foo.vol.exists(kListedMarker));
    EXPECT_TRUE(foo.vol.exists(foo.h + "/.Trash/com.foo.bar.plist"));
}

TEST(EngineSweep, RootModeForceRemovesSweepsThenRunsTheCommandList) {
    FooVolume foo;
    foo.vol.write("/private/var/root/.Trash/old", "x");
    const auto entries = sweep(
        {.installPath = "/Applications/Foo.app", .commandList = kListedRemoval, .userMode = false});
    ASSERT_GE(entries.size(), 3u);
    EXPECT_EQ(entries[0].action, JournalAction::ForceRemoved);
    EXPECT_EQ(entries[0].subject, "/Applications/Foo.app");
    EXPECT_EQ(entries[0].detail, "chmod 777 " + shellQuote(foo.vol.host("/Applications/Foo.app")) +
                                     ";rm -rf " +
                                     shellQuote(foo.vol.host("/Applications/Foo.app")));
    // Root's Trash keeps what was there before this removal (no routine put anything there).
    EXPECT_EQ(only(entries, JournalAction::ForceRemoved),
              std::vector<std::string>{"/Applications/Foo.app"});
    // The command list comes last: its one line, then the move of what it names.
    ASSERT_GE(entries.size(), 3u);
    const auto& list = entries[entries.size() - 3];
    EXPECT_EQ(list.action, JournalAction::CommandListRun);
    EXPECT_EQ(entries[entries.size() - 2].action, JournalAction::ShellLineRun);
    EXPECT_EQ(entries.back().subject, kListedMarker);
    auto moved = foo.leftovers;
    moved.push_back(kListedMarker);
    EXPECT_EQ(only(entries, JournalAction::MovedToTrash), moved);
    EXPECT_FALSE(foo.vol.exists("/Applications/Foo.app"));
    EXPECT_TRUE(foo.vol.exists("/private/var/root/.Trash/old"));
    // The list's item went to the Trash, where it can be put back.
    EXPECT_TRUE(foo.vol.exists(entries.back().detail)) << entries.back().detail;
    EXPECT_FALSE(foo.vol.exists(kListedMarker));
    foo.decoys.pop_back();  // the bundle itself
    for (const auto& path : foo.decoys)
        EXPECT_TRUE(foo.vol.exists(path)) << path;
}

// The sweep's Trash moves take a link as a link: its target, outside the volume, keeps its
// place and content.
TEST(EngineSweep, LinksAreMovedAsLinks) {
    TempVolume outside;
    outside.write("/shared/work.txt", "precious");
    outside.write("/cache.db", "data");
    TempVolume vol;
    const std::string h = vol.home();
    vol.symlink(outside.host("/shared"), "/Users/Shared/Foo");
    vol.symlink(outside.host("/cache.db"), h + "/Library/Caches/com.foo.bar");
    const auto moved =
        only(sweep({.installPath = "/Applications/Foo.app"}), JournalAction::MovedToTrash);
    EXPECT_EQ(moved,
              (std::vector<std::string>{"/Users/Shared/Foo", h + "/Library/Caches/com.foo.bar"}));
    for (const char* inTrash : {"/.Trash/Foo", "/.Trash/com.foo.bar"}) {
        struct stat st {};
        ASSERT_EQ(::lstat(vol.host(h + inTrash).c_str(), &st), 0) << inTrash;
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << inTrash;
    }
    EXPECT_EQ(outside.read("/shared/work.txt"), "precious");
    EXPECT_EQ(outside.read("/cache.db"), "data");
}

// Apple's identifiers keep their preferences, recent documents and temporary folders.
TEST(EngineSweep, AppleIdentifierSkipsPreferencesRecentDocumentsAndTemporaryFolders) {
    TempVolume vol;
    const std::string h = vol.home();
    const std::vector<std::string> taken = {
        "/private/var/db/receipts/com.apple.Safari.bom",
        h + "/Library/Caches/com.apple.Safari",
        h + "/Library/Cookies/com.apple.Safari.binarycookies",
        h + "/Library/Saved Application State/com.apple.Safari.savedState",
        h + "/Library/Containers/com.apple.Safari",
        h + "/Library/Group Containers/X.com.apple.Safari"};
    const std::vector<std::string> kept = {
        h + "/Library/Preferences/com.apple.Safari.plist",
        "/Library/Preferences/com.apple.Safari.plist",
        h + "/Library/Application Support/com.apple.sharedfilelist/"
            "com.apple.LSSharedFileList.ApplicationRecentDocuments/com.apple.Safari.sfl2",
        "/private/var/folders/vd/ab/C/com.apple.Safari/x"};
    for (const auto& p : taken)
        vol.write(p, "x");
    for (const auto& p : kept)
        vol.write(p, "x");
    const auto entries = sweep({.installPath = "/Applications/Safari.app",
                                .name = "Safari",
                                .publisher = "com.apple.Safari"});
    EXPECT_EQ(only(entries, JournalAction::MovedToTrash), taken);
    for (const auto& p : kept)
        EXPECT_TRUE(vol.exists(p)) << p;
}

TEST(EngineSweep, PaddedIdentifierActsAsTheTrimmedOne) {
    std::vector<std::string> expected;
    for (const char* publisher : {"com.foo.bar", "  com.foo.bar\t", "\t com.foo.bar  "}) {
        SCOPED_TRACE(std::string("\"") + publisher + "\"");
        FooVolume foo;
        const auto moved =
            only(sweep({.installPath = "/Applications/Foo.app", .publisher = publisher}),
                 JournalAction::MovedToTrash);
        EXPECT_EQ(moved, foo.leftovers);
    }
}

// Names and identifiers come from another program's Info.plist. None of these may make the
// sweep move a system folder, a Library folder, "/Users/Shared" or another vendor's files, in
// either mode.
TEST(EngineSweep, HostileNamesAndIdentifiersTouchNothing) {
    struct Row {
        const char* name;
        const char* identifier;
    } rows[] = {
        {"../../Library", "../../System"},
        {"..", "com"},
        {"", "com."},
        {"   ", " . "},
        {"\t", ".."},
        {".", "/"},
        {"Foo/../../..", "com.apple."},
        {"/", "N/A"},
        {"Library", "com.apple"},
        {"../../../Users", "org."},
        {"..\t", "*"},
        {"Application Support", "."},
    };
    for (bool userMode : {true, false}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(userMode ? "user" : "root") + " mode, name \"" + row.name +
                         "\", identifier \"" + row.identifier + "\"");
            TempVolume vol;
            const std::string h = vol.home();
            const std::vector<std::string> keep = {
                "/Library/Caches/com.other.app/x",
                "/Library/Preferences/com.other.plist",
                "/Library/Application Support/Other/x",
                "/Library/Application Support/Library/x",
                "/System/Library/Extensions/Other.kext/x",
                "/Users/Shared/other.txt",
                h + "/Library/Caches/com.other/x",
                h + "/Library/Preferences/com.other.plist",
                h + "/Library/Containers/com.other/x",
                h + "/Documents/x",
                "/private/var/folders/vd/ab/C/com.other/x",
                "/private/var/db/receipts/com.other.bom",
            };
            for (const auto& p : keep)
                vol.write(p, "keep");
            vol.mkdir("/Applications/Evil.app");
            const auto entries = sweep({.installPath = "/Applications/Evil.app",
                                        .name = row.name,
                                        .publisher = row.identifier,
                                        .userMode = userMode});
            EXPECT_TRUE(only(entries, JournalAction::MovedToTrash).empty());
            for (const auto& p : keep)
                EXPECT_TRUE(vol.exists(p)) << p;
            const auto forced = only(entries, JournalAction::ForceRemoved);
            if (userMode) {
                EXPECT_TRUE(forced.empty());
            } else {
                EXPECT_EQ(forced, std::vector<std::string>{"/Applications/Evil.app"});
            }
            EXPECT_FALSE(only(entries, JournalAction::Skipped).empty());
        }
    }
}

// An unusable home folder must not turn "<home>/Library/..." into "/Library/...".
TEST(EngineSweep, UnusableHomeFolderSkipsTheHomeSteps) {
    TempVolume vol;
    ScopedEnv home("VENDREL_HOME", "relative");
    vol.write("/Library/Cookies/com.foo.bar.binarycookies", "x");
    vol.write("/Library/Containers/com.foo.bar/x", "x");
    const auto entries = sweep({.installPath = "/Applications/Foo.app", .dryRun = true});
    for (const auto& subject : only(entries, JournalAction::MovedToTrash)) {
        EXPECT_FALSE(subject.starts_with("/Library/Cookies")) << subject;
        EXPECT_FALSE(subject.starts_with("/Library/Containers")) << subject;
    }
    EXPECT_FALSE(only(entries, JournalAction::Skipped).empty());
}

// A dry run reports what the root-mode pass would do and changes nothing.
TEST(EngineSweep, DryRunChangesNothing) {
    FooVolume foo;
    const auto entries = sweep({.installPath = "/Applications/Foo.app",
                                .commandList = kListedRemoval,
                                .userMode = false,
                                .dryRun = true});
    auto wouldMove = foo.leftovers;
    wouldMove.push_back(kListedMarker);  // the command list's line
    EXPECT_EQ(only(entries, JournalAction::MovedToTrash), wouldMove);
    EXPECT_EQ(only(entries, JournalAction::CommandListRun).size(), 1u);
    for (const auto& e : entries)
        EXPECT_TRUE(e.dryRun);
    for (const auto& path : foo.leftovers)
        EXPECT_TRUE(foo.vol.exists(path)) << path;
    EXPECT_TRUE(foo.vol.exists("/Applications/Foo.app"));
    EXPECT_TRUE(foo.vol.exists(kListedMarker));
}

// ---- Self-removal ----

// Any folder may be named "Vendrel.app": only the installed product's bundle removes the
// product and its daemon.
TEST(EngineSelfRemoval, ACopyElsewhereLeavesTheInstalledProductAlone) {
    for (const char* copy : {"/Applications/Games/Vendrel.app", "/Users/tester/Vendrel.app"}) {
        SCOPED_TRACE(copy);
        TempVolume vol;
        vol.makeBundle("/Applications/Vendrel.app", {{"CFBundleName", "Vendrel"}});
        vol.makeBundle(copy, {{"CFBundleName", "Vendrel"}});
        vol.write("/Library/Application Support/Vendrel/state", "x");
        vol.write("/Library/LaunchDaemons/com.Vendrel.Ostrand.DaemonServer.plist", "x");
        const auto entries = sweep({.installPath = copy,
                                    .name = "Vendrel",
                                    .publisher = "com.Vendrel.Ostrand",
                                    .userMode = false});
        EXPECT_TRUE(only(entries, JournalAction::RoutineSelected).empty());
        EXPECT_TRUE(vol.exists("/Applications/Vendrel.app/Contents/Info.plist"));
        EXPECT_TRUE(vol.exists("/Library/Application Support/Vendrel/state"));
        EXPECT_TRUE(vol.exists("/Library/LaunchDaemons/com.Vendrel.Ostrand.DaemonServer.plist"));
    }
}

TEST(EngineSelfRemoval, OwnBundleRunsTheSelfRemovalAndNothingElse) {
    for (bool userMode : {false, true}) {
        SCOPED_TRACE(userMode ? "user mode" : "root mode");
        TempVolume vol;
        ScopedEnv logFile("VENDREL_LOG_FILE", vol.host("/syslog"));
        const std::string h = vol.home();
        vol.write("/Library/Application Support/Vendrel/state", "x");
        vol.makeBundle("/Applications/Vendrel.app", {{"CFBundleName", "Vendrel"}});
        const std::string daemonExe =
            "/Library/PrivilegedHelperTools/com.Vendrel.Ostrand.DaemonServer";
        test::installProgram(vol, daemonExe);
        test::installProgram(vol, "/Applications/Vendrel.app/Contents/MacOS/Vendrel");
        Child daemon(vol.host(daemonExe));
        Child app(vol.host("/Applications/Vendrel.app/Contents/MacOS/Vendrel"));
        // The same programs on another volume are not this removal's business.
        TempVolume other;
        test::installProgram(other, daemonExe);
        Child otherDaemon(other.host(daemonExe));
        ::setenv("VENDREL_ROOT", vol.root().c_str(), 1);
        ::setenv("VENDREL_HOME", vol.home().c_str(), 1);
        vol.write("/Library/LaunchDaemons/com.Vendrel.Ostrand.DaemonServer.plist", "x");
        vol.write(h + "/Library/Application Support/Vendrel/user-state", "x");
        vol.write("/Users/Shared/Vendrel/x", "a sweep would take this");
        vol.write(h + "/Library/Caches/com.Vendrel.Ostrand/x", "and this");
        vol.write(kListedMarker, "x");
        setHomeDirectory(h);
        const auto entries = sweep({.installPath = "/Applications/Vendrel.app",
                                    .name = "Vendrel",
                                    .publisher = "com.Vendrel.Ostrand",
                                    .commandList = kListedRemoval,
                                    .userMode = userMode});
        setHomeDirectory(std::nullopt);

        EXPECT_EQ(only(entries, JournalAction::RoutineSelected),
                  std::vector<std::string>{"self-removal"});
        EXPECT_EQ(only(entries, JournalAction::MovedToTrash),
                  (std::vector<std::string>{
                      "/Library/Application Support/Vendrel", "/Applications/Vendrel.app",
                      "/Library/PrivilegedHelperTools/com.Vendrel.Ostrand.DaemonServer",
                      "/Library/LaunchDaemons/com.Vendrel.Ostrand.DaemonServer.plist"}));
        EXPECT_FALSE(vol.exists(h + "/Library/Application Support/Vendrel"));
        EXPECT_TRUE(vol.exists("/Users/Shared/Vendrel/x"));
        EXPECT_TRUE(vol.exists(h + "/Library/Caches/com.Vendrel.Ostrand/x"));
        EXPECT_TRUE(vol.exists(kListedMarker));
        EXPECT_TRUE(app.killedWithin(std::chrono::seconds(5)));
        EXPECT_TRUE(daemon.killedWithin(std::chrono::seconds(5)));
        EXPECT_TRUE(otherDaemon.running());
        EXPECT_EQ(only(entries, JournalAction::ShellLineRun),
                  std::vector<std::string>{"killall com.Vendrel.Ostrand.DaemonServer"});
        EXPECT_EQ(readHost(vol.host("/syslog")),
                  "NSXPC Listener: MSG KillSelf...\n"
                  "NSXPC Listener: MSG KillSelf Delete Server...\n"
                  "NSXPC Listener: MSG KillSelf Delete plist...\n"
                  "NSXPC Listener: MSG KillSelf Unload Server...\n");
    }
}

// Without a home directory setting the user's support folder cannot be named: the step is
// skipped, never turned into "/Library/Application Support/Vendrel" by another road.
TEST(EngineSelfRemoval, UnsetHomeSettingSkipsTheUsersSupportFolder) {
    for (std::optional<std::string> setting :
         {std::optional<std::string>(), std::optional<std::string>(""),
          std::optional<std::string>("relative"), std::optional<std::string>("/")}) {
        SCOPED_TRACE(setting ? "\"" + *setting + "\"" : "null");
        TempVolume vol;
        setHomeDirectory(setting);
        Journal journal;
        {
            JournalScope scope(journal);
            Engine::removeSelf();
        }
        setHomeDirectory(std::nullopt);
        EXPECT_TRUE(subjects(journal, JournalAction::ForceRemoved).empty());
        EXPECT_EQ(subjects(journal, JournalAction::Skipped).size(), 1u);
    }
}

TEST(EngineSelfRemoval, HomeSettingIsReadAndWrittenAsAWhole) {
    setHomeDirectory(std::nullopt);
    EXPECT_EQ(homeDirectorySetting(), std::nullopt);
    const std::string a(4096, 'a'), b(4096, 'b');
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i)
            setHomeDirectory(i % 2 ? a : b);
    });
    for (int i = 0; i < 2000; ++i) {
        const auto v = homeDirectorySetting();
        ASSERT_TRUE(!v || *v == a || *v == b);
    }
    writer.join();
    setHomeDirectory(std::nullopt);
    EXPECT_EQ(homeDirectorySetting(), std::nullopt);
}

// ---- Force removal, quoting and links ----

// Runs a test body with bash's working folder inside the volume, so that a command smuggled
// in through a name would leave its mark where the test can see it.
class ScopedCwd {
  public:
    explicit ScopedCwd(const std::string& dir) : saved_(stdfs::current_path()) {
        stdfs::current_path(dir);
    }
    ~ScopedCwd() { stdfs::current_path(saved_); }

  private:
    stdfs::path saved_;
};

TEST(EngineForceRemoval, HostileNamesNameExactlyThemselves) {
    const char* names[] = {
        "it's.app",
        "a\"b.app",
        "$HOME.app",
        "`touch injected1`.app",
        "sp ace.app",
        "new\nline.app",
        "-rf x.app",
        "$(touch injected2).app",
        "semi;colon.app",
        "glob*.app",
        "' ; touch injected3 ; '",
        "back\\slash.app",
        "tab\t.app",
        "'",
        "''",
        "-",
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        TempVolume vol;
        vol.mkdir("/cwd");
        ScopedCwd cwd(vol.host("/cwd"));
        const std::string folder = "/Applications/Q";
        const std::string target = folder + "/" + name;
        vol.write(target + "/Contents/file", "x");
        for (const char* sibling : {"x.app", "globX.app", "x", "decoy", "HOME.app", "a"})
            vol.write(folder + "/" + sibling + "/keep", "keep");
        Journal journal;
        {
            JournalScope scope(journal);
            forceRemove(target);
        }
        EXPECT_FALSE(vol.exists(target));
        EXPECT_EQ(subjects(journal, JournalAction::ForceRemoved), std::vector<std::string>{target});
        for (const char* sibling : {"x.app", "globX.app", "x", "decoy", "HOME.app", "a"})
            EXPECT_TRUE(vol.exists(folder + "/" + sibling + "/keep")) << sibling;
        EXPECT_TRUE(stdfs::is_empty(vol.host("/cwd")));
    }
}

// The attack: a link planted at the path to be force-removed, pointing at a read-only file
// outside the volume. chmod 777 would make the target world-writable; it must keep its mode
// and content, and only the link goes.
TEST(EngineForceRemoval, LinkAtThePathIsRemovedAsALink) {
    TempVolume outside;
    outside.write("/secret", "secret");
    ::chmod(outside.host("/secret").c_str(), 0444);
    outside.write("/dir/file", "content");
    ::chmod(outside.host("/dir").c_str(), 0555);
    TempVolume vol;
    vol.symlink(outside.host("/secret"), "/Applications/Evil.app");
    vol.symlink(outside.host("/dir"), "/Applications/Folder.app");
    vol.symlink(outside.host("/secret"), "/Applications/Bundle.app");
    forceRemove("/Applications/Evil.app");
    forceRemove("/Applications/Folder.app");
    // The same through the engine in root mode: the bundle path is the link.
    sweep({.installPath = "/Applications/Bundle.app", .userMode = false});
    for (const char* link :
         {"/Applications/Evil.app", "/Applications/Folder.app", "/Applications/Bundle.app"})
        EXPECT_FALSE(vol.exists(link)) << link;
    EXPECT_EQ(modeOf(outside.host("/secret")), 0444u);
    EXPECT_EQ(outside.read("/secret"), "secret");
    EXPECT_EQ(modeOf(outside.host("/dir")), 0555u);
    EXPECT_EQ(outside.read("/dir/file"), "content");
}

// A link among the parent folders would redirect rm -rf to its target: refused, journalled
// and logged.
TEST(EngineForceRemoval, PathThroughALinkedFolderIsRefused) {
    TempVolume outside;
    outside.write("/vendor/Foo.app/data", "precious");
    TempVolume vol;
    ScopedEnv logFile("VENDREL_LOG_FILE", vol.host("/syslog"));
    vol.symlink(outside.host("/vendor"), "/Applications/Vendor");
    vol.symlink(outside.host("/vendor"), "/Library/Application Support/Linked");
    Journal journal;
    {
        JournalScope scope(journal);
        forceRemove("/Applications/Vendor/Foo.app");
        forceRemove("/Applications/Vendor/Foo.app/data");
        removePattern("-rf", "/Library/Application Support/Linked/Foo*");
    }
    EXPECT_EQ(outside.read("/vendor/Foo.app/data"), "precious");
    EXPECT_EQ(subjects(journal, JournalAction::ForceRemovalRefused),
              (std::vector<std::string>{"/Applications/Vendor/Foo.app",
                                        "/Applications/Vendor/Foo.app/data",
                                        "/Library/Application Support/Linked/Foo.app"}));
    EXPECT_TRUE(subjects(journal, JournalAction::ForceRemoved).empty());
    EXPECT_NE(readHost(vol.host("/syslog")).find("/Applications/Vendor/Foo.app"),
              std::string::npos);
}

// A file reachable under another name (a hard link) keeps its mode: only this name goes.
TEST(EngineForceRemoval, HardLinkedFileKeepsItsMode) {
    TempVolume outside;
    outside.write("/shadow", "secret");
    ::chmod(outside.host("/shadow").c_str(), 0400);
    TempVolume vol;
    vol.mkdir("/Applications");
    std::error_code ec;
    stdfs::create_hard_link(outside.host("/shadow"), vol.host("/Applications/Hard.app"), ec);
    if (ec)
        GTEST_SKIP() << "no hard links across these folders: " << ec.message();
    forceRemove("/Applications/Hard.app");
    EXPECT_FALSE(vol.exists("/Applications/Hard.app"));
    EXPECT_EQ(modeOf(outside.host("/shadow")), 0400u);
    EXPECT_EQ(outside.read("/shadow"), "secret");
}

TEST(EngineForceRemoval, ProtectedPathsAreRefused) {
    TempVolume vol;
    const std::vector<std::string> paths = {"/Library",
                                            "/Applications",
                                            "/Users/Shared",
                                            "/Library/Application Support",
                                            vol.home(),
                                            vol.home() + "/Library",
                                            "/System/Library/Extensions"};
    for (const auto& p : paths)
        vol.write(p + "/keep", "x");
    Journal journal;
    {
        JournalScope scope(journal);
        for (const auto& p : paths)
            forceRemove(p);
    }
    EXPECT_EQ(subjects(journal, JournalAction::ForceRemovalRefused), paths);
    for (const auto& p : paths)
        EXPECT_TRUE(vol.exists(p + "/keep")) << p;
}

// ---- Root's Trash ----

TEST(EngineRootTrash, PurgesOnlyTheVolumesRootTrash) {
    TempVolume other;
    other.write("/private/var/root/.Trash/keep", "other volume");
    TempVolume vol;
    vol.write("/private/var/root/.Trash/old/file", "x");
    vol.write("/private/var/root/keep", "x");
    Engine::emptyRootTrash();
    EXPECT_FALSE(vol.exists("/private/var/root/.Trash"));
    EXPECT_TRUE(vol.exists("/private/var/root/keep"));
    EXPECT_TRUE(other.exists("/private/var/root/.Trash/keep"));
}

TEST(EngineRootTrash, LinkedRootHomeIsRefused) {
    TempVolume outside;
    outside.write("/root/.Trash/keep", "x");
    TempVolume vol;
    vol.symlink(outside.host("/root"), "/private/var/root");
    Journal journal;
    {
        JournalScope scope(journal);
        Engine::emptyRootTrash();
    }
    EXPECT_TRUE(outside.exists("/root/.Trash/keep"));
    EXPECT_EQ(subjects(journal, JournalAction::ForceRemovalRefused),
              std::vector<std::string>{"/private/var/root/.Trash"});
}

// ---- Pattern removal and shell lines ----

TEST(EngineBuildingBlocks, PatternRemovesEveryMatchOfTheLastComponent) {
    TempVolume outside;
    outside.write("/target", "keep");
    TempVolume vol;
    const std::string lib = "/usr/local/lib/";
    for (const char* name : {"libntfs.dylib", "libntfs.a", "libntfs-3g.dylib", "xlibntfs.a",
                             ".libntfs.hidden", "LIBNTFS.A"})
        vol.write(lib + name, "x");
    vol.write(lib + "libntfs.d/inner", "x");
    vol.symlink(outside.host("/target"), lib + "libntfs.link");
    Journal journal;
    {
        JournalScope scope(journal);
        removePattern("-f", lib + "libntfs.*");
        removePattern("-rf", lib + "nomatch*");
        removePattern("-rf", "/usr/local/*/libntfs.a");
        removePattern("-rf -x", lib + "libntfs*");
    }
    for (const char* gone : {"libntfs.dylib", "libntfs.a", "libntfs.link"})
        EXPECT_FALSE(vol.exists(lib + gone)) << gone;
    // rm -f leaves a folder; the shell's * skips a leading "." and is case-sensitive.
    for (const char* kept :
         {"libntfs-3g.dylib", "xlibntfs.a", ".libntfs.hidden", "LIBNTFS.A", "libntfs.d/inner"})
        EXPECT_TRUE(vol.exists(lib + kept)) << kept;
    EXPECT_EQ(outside.read("/target"), "keep");
    EXPECT_EQ(subjects(journal, JournalAction::PatternRemoved),
              std::vector<std::string>{lib + "libntfs.*"});
    EXPECT_EQ(subjects(journal, JournalAction::Skipped).size(), 2u);
}

// A force removal takes its path literally; only forceRemovePattern expands. A bundle named
// "*.app" must never take the applications beside it, even once it is gone.
TEST(EngineBuildingBlocks, ForceRemovalExpandsOnlyPatterns) {
    TempVolume vol;
    for (const char* app : {"Mail.app", "Notes.app", "*.app"})
        vol.write(std::string("/Applications/") + app + "/Contents/x", "x");
    sweep({.installPath = "/Applications/*.app", .name = "Star", .userMode = false});
    EXPECT_FALSE(vol.exists("/Applications/*.app"));
    sweep({.installPath = "/Applications/*.app", .name = "Star", .userMode = false});
    EXPECT_TRUE(vol.exists("/Applications/Mail.app/Contents/x"));
    EXPECT_TRUE(vol.exists("/Applications/Notes.app/Contents/x"));

    const std::string prefs = "/Library/Preferences/";
    for (const char* name : {"com.sophos.av.plist", "com.sophos.ui/x", "com.sophosx.plist",
                             "com.other.plist", ".com.sophos.hidden", "COM.SOPHOS.plist"})
        vol.write(prefs + name, "x");
    Journal journal;
    {
        JournalScope scope(journal);
        forceRemovePattern(prefs + "com.sophos*");
        forceRemovePattern("/Library/*/com.sophos.av.plist");
    }
    for (const char* gone : {"com.sophos.av.plist", "com.sophos.ui", "com.sophosx.plist"})
        EXPECT_FALSE(vol.exists(prefs + gone)) << gone;
    for (const char* kept : {"com.other.plist", ".com.sophos.hidden", "COM.SOPHOS.plist"})
        EXPECT_TRUE(vol.exists(prefs + kept)) << kept;
    EXPECT_EQ(subjects(journal, JournalAction::ForceRemoved).size(), 3u);
    EXPECT_EQ(subjects(journal, JournalAction::Skipped),
              std::vector<std::string>{"/Library/*/com.sophos.av.plist"});
}

TEST(EngineBuildingBlocks, ShellLineRunsThroughBashUnlessDryRun) {
    TempVolume vol;
    const std::string line =
        "touch " + shellPath("/made by bash") + ";echo $((6*7)) > " + shellPath("/answer");
    {
        Journal dry(true);
        JournalScope scope(dry);
        runShellLine(line);
        EXPECT_EQ(subjects(dry, JournalAction::ShellLineRun), std::vector<std::string>{line});
    }
    EXPECT_FALSE(vol.exists("/made by bash"));
    runShellLine(line);
    EXPECT_TRUE(vol.exists("/made by bash"));
    EXPECT_EQ(vol.read("/answer"), "42\n");
}

}  // namespace
}  // namespace vendrel
