// The per-product routines at work on temporary volumes: real files, real bash, real
// processes. Root-mode steps run real shell lines as root, so every test first relies on
// RootModeActsOnlyInsideTheVolume (a dry run of the whole table) to show that every rendered
// command names host paths inside the volume.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "common/extended_delete.h"
#include "common/home_setting.h"
#include "common/journal.h"
#include "common/routine_interpreter.h"
#include "common/routine_table.h"
#include "platform/paths.h"
#include "platform/trash.h"
#include "tests/common/sweep_test_util.h"
#include "tests/support/child_process.h"
#include "tests/support/volume.h"

namespace vendrel::routines {
namespace {

namespace stdfs = std::filesystem;
namespace Engine = extended_delete;

// Runs one routine of the table by its product name, as the engine does.
void runRoutine(std::string_view name, Mode mode = Mode::User,
                const std::string& installPath = {}) {
    const Routine* routine = findRoutine(name);
    ASSERT_NE(routine, nullptr) << name;
    run(*routine, mode, installPath);
}
using test::TempVolume;

// ---- Fixtures ----

using test::Child;
constexpr std::chrono::seconds kStopLimit{5};

// A program on the volume, started.
std::unique_ptr<Child> startProgram(const TempVolume& vol, const std::string& logicalExecutable) {
    test::installProgram(vol, logicalExecutable);
    return std::make_unique<Child>(vol.host(logicalExecutable));
}

// An application bundle whose program runs: the stop-by-name step finds it by CFBundleName.
std::unique_ptr<Child> startApp(const TempVolume& vol, const std::string& bundle,
                                const std::string& name) {
    vol.makeBundle(bundle, {{"CFBundleName", name}});
    return startProgram(vol, bundle + "/Contents/MacOS/" + name);
}

// A folder of its own outside the volume, removed at the end.
struct OutsideFolder {
    std::string path;
    OutsideFolder() {
        path = (stdfs::temp_directory_path() / "vendrel-outside-XXXXXX").string();
        if (!::mkdtemp(path.data()))
            path.clear();
    }
    ~OutsideFolder() {
        std::error_code ec;
        stdfs::remove_all(path, ec);
    }
};

const Routine& routine(std::string_view name) {
    const Routine* r = findRoutine(name);
    if (!r)
        throw std::runtime_error("no routine " + std::string(name));
    return *r;
}

std::vector<std::string> trashedOriginals() {
    std::vector<std::string> out;
    for (const auto& record : platform::trash::records())
        out.push_back(record.originalPath);
    return out;
}

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Keeps the engine's home directory setting from leaking between tests.
struct HomeSetting {
    explicit HomeSetting(std::optional<std::string> home) { setHomeDirectory(home); }
    ~HomeSetting() { setHomeDirectory(std::nullopt); }
};

// ---- Shell words ----

// The single-quoted words of a rendered line (unescaped) and the text outside them.
struct ShellWords {
    std::vector<std::string> quoted;
    std::string bare;
};

ShellWords splitQuoted(std::string_view line) {
    ShellWords words;
    std::string current;
    bool inQuote = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (!inQuote) {
            if (c == '\'')
                inQuote = true;
            else
                words.bare += c;
            continue;
        }
        if (c != '\'') {
            current += c;
        } else if (line.substr(i, 4) == "'\\''") {
            current += '\'';
            i += 3;
        } else {
            words.quoted.push_back(current);
            current.clear();
            inQuote = false;
        }
    }
    return words;
}

// Every path a rendered line names lies inside the volume: each quoted word that is a path
// starts with the volume root, and no path appears unquoted.
void expectConfinedToVolume(const std::string& line, const std::string& root) {
    SCOPED_TRACE(line);
    const auto words = splitQuoted(line);
    for (const auto& word : words.quoted) {
        if (word.starts_with("/")) {
            EXPECT_TRUE(word == root || word.starts_with(root + "/")) << word;
        }
    }
    EXPECT_EQ(words.bare.find('/'), std::string::npos) << words.bare;
}

// Every path of the table made to exist on the volume (a folder with a file in it), and one
// match for every pattern, so that a dry run reports every removal a routine would make.
void populateWithEveryTablePath(const TempVolume& vol) {
    const auto make = [&](std::string_view tablePath) {
        auto logical = resolve(tablePath);
        if (!logical)
            return;
        if (const size_t star = logical->find('*'); star != std::string::npos)
            return vol.write(logical->substr(0, star) + "match", "x");
        vol.write(*logical + "/content", "x");
    };
    for (const Routine& r : kRoutines) {
        for (const Step& s : r.steps) {
            if (s.kind == StepKind::Trash || s.kind == StepKind::RootForce ||
                s.kind == StepKind::RootPattern)
                make(s.a);
            if (s.kind == StepKind::OwnerHomeFolder)
                make("~" + std::string(s.a));
            if (s.kind == StepKind::RootShell)
                forEachShellCommand(s.a, [&](const ShellCommand& c) {
                    if (c.verb != ShellVerb::Killall)
                        make(c.arg);
                });
        }
    }
}

// ---- The whole table, dry ----

TEST(Routines, RootModeActsOnlyInsideTheVolume) {
    TempVolume vol;
    populateWithEveryTablePath(vol);
    HomeSetting setting(vol.home());
    for (const bool userMode : {false, true}) {
        for (const Routine& r : kRoutines) {
            SCOPED_TRACE(std::string(r.name) + (userMode ? " (user mode)" : " (root mode)"));
            Journal journal(/*dryRun=*/true);
            {
                JournalScope scope(journal);
                run(r, userMode ? Mode::User : Mode::Root, "/Applications/Avira.app");
            }
            for (const auto& e : journal.entries()) {
                switch (e.action) {
                    case JournalAction::ShellLineRun:
                        EXPECT_FALSE(userMode);
                        expectConfinedToVolume(e.subject, vol.root());
                        break;
                    case JournalAction::ForceRemoved:
                        EXPECT_FALSE(userMode);
                        expectConfinedToVolume(e.detail, vol.root());
                        break;
                    case JournalAction::PatternRemoved:
                        EXPECT_FALSE(userMode);
                        break;
                    case JournalAction::RefusedByGuard:
                    case JournalAction::ForceRemovalRefused:
                    case JournalAction::Skipped:
                        ADD_FAILURE() << toString(e.action) << " " << e.subject << " " << e.detail;
                        break;
                    default:
                        break;
                }
            }
        }
    }
    // The dry run left everything in place.
    EXPECT_TRUE(vol.exists("/Applications/MacKeeper.app/content"));
    EXPECT_TRUE(platform::trash::records().empty());
}

TEST(Routines, ShellLinesNameQuotedHostPaths) {
    TempVolume vol("/Users/o'brien smith");
    const std::string root = vol.root();
    const std::string home = root + "/Users/o'\\''brien smith";
    using Pieces = std::vector<ShellPiece>;
    struct Case {
        std::string_view line;
        Pieces rendered;
    };
    const Case cases[] = {
        {"rm -rf ~/Library/Caches/com.foo",
         {{false, "rm -rf '" + home + "/Library/Caches/com.foo'"}}},
        {"chmod 777 /Applications/Foo Bar.app;rm -rf /Applications/Foo Bar.app",
         {{false, "chmod 777 '" + root + "/Applications/Foo Bar.app';rm -rf '" + root +
                      "/Applications/Foo Bar.app'"}}},
        // The wildcard stays bare so that the shell expands it; everything else is quoted.
        {"rm -rf /Library/Preferences/com.foo*",
         {{false, "rm -rf '" + root + "/Library/Preferences/com.foo'*"}}},
        {"rm -f /usr/local/lib/lib*foo*",
         {{false, "rm -f '" + root + "/usr/local/lib/lib'*'foo'*"}}},
        {"sudo chflags noschg /Applications/Foo.app",
         {{false, "sudo chflags noschg '" + root + "/Applications/Foo.app'"}}},
        // Processes are stopped in their place in the line, between the shell runs.
        {"killall Foo Helper;rm /Library/Foo;rm -f /Library/Bar;killall foo;rm -rf /Library/Baz",
         {{true, "Foo Helper"},
          {false, "rm '" + root + "/Library/Foo';rm -f '" + root + "/Library/Bar'"},
          {true, "foo"},
          {false, "rm -rf '" + root + "/Library/Baz'"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line));
        EXPECT_EQ(renderShellLine(c.line), c.rendered);
    }
}

TEST(Routines, ShellLinesLeaveOutWhatMustNotBeTouchedAsRoot) {
    TempVolume vol;
    vol.write("/Users/Shared/elsewhere/file", "x");
    vol.symlink("/Users/Shared/elsewhere", "/Applications/Linked.app");   // a planted link
    vol.symlink("/Users/Shared", "/Library/Application Support/Linked");  // a linked parent
    Journal journal;
    JournalScope scope(journal);
    using Pieces = std::vector<ShellPiece>;
    // chmod would follow the link to its target; the link itself may still be removed.
    EXPECT_EQ(renderShellLine("chmod 777 /Applications/Linked.app;rm -rf /Applications/Linked.app"),
              (Pieces{{false, "rm -rf '" + vol.root() + "/Applications/Linked.app'"}}));
    // A path through a linked folder is not removed at all.
    EXPECT_EQ(renderShellLine("rm -rf /Library/Application Support/Linked/elsewhere;killall Foo"),
              (Pieces{{true, "Foo"}}));
    EXPECT_EQ(renderShellLine("rm -rf /Library/Application Support/Linked/elsewhere"), Pieces{});
    EXPECT_EQ(test::subjects(journal, JournalAction::ForceRemovalRefused),
              (std::vector<std::string>{"/Library/Application Support/Linked/elsewhere",
                                        "/Library/Application Support/Linked/elsewhere"}));
    EXPECT_TRUE(vol.exists("/Users/Shared/elsewhere/file"));
}

// Each scanner runs itself: a probe entry sits in every scanner's folder, and a scan with
// one scanner moves exactly the one in that scanner's folder.
TEST(Routines, EachScannerRunsItself) {
    const std::string h = "/Users/tester";
    const std::pair<Scanner, std::string> cases[] = {
        {Scanner::LaunchDaemons, "/Library/LaunchDaemons/com.probe.plist"},
        {Scanner::LaunchAgents, "/Library/LaunchAgents/com.probe.plist"},
        {Scanner::Preferences, "/Library/Preferences/com.probe.plist"},
        {Scanner::Receipts, "/private/var/db/receipts/com.probe.bom"},
        {Scanner::Caches, "/Library/Caches/com.probe"},
        {Scanner::Cookies, h + "/Library/Cookies/com.probe.binarycookies"},
        {Scanner::SavedState, h + "/Library/Saved Application State/com.probe.savedState"},
        {Scanner::Containers, h + "/Library/Containers/com.probe"},
        {Scanner::GroupContainers, h + "/Library/Group Containers/com.probe"},
        {Scanner::Logs, "/Library/Logs/com.probe"},
        {Scanner::Extensions, "/Library/Extensions/com.probe.kext"},
        {Scanner::SharedFileLists,
         h + "/Library/Application Support/com.apple.sharedfilelist/"
             "com.apple.LSSharedFileList.ApplicationRecentDocuments/com.probe.sfl"},
        {Scanner::TemporaryFolders, "/private/var/folders/vd/xy/C/com.probe"},
    };
    for (const auto& [code, expected] : cases) {
        SCOPED_TRACE(static_cast<int>(code));
        TempVolume vol;
        for (const auto& [_, path] : cases)
            vol.write(path + "/x", "x");
        ScanList only;
        only.items[only.count++] = code;
        const Step steps[] = {{StepKind::Scan, "com.probe", {}, only}};
        run(Routine{"Probe", Argument::None, steps}, Mode::User);
        EXPECT_EQ(trashedOriginals(), std::vector<std::string>{expected});
    }
}

// With a home folder that cannot be used ("/" itself), "~/Library/..." must not turn into
// the system's "/Library/...": the home-relative steps are skipped.
TEST(Routines, HomeRelativeStepsNeedAUsableHome) {
    TempVolume vol;
    vol.write("/Library/Application Support/TeamViewer/system-wide", "x");
    vol.write("/Library/Fonts/TeamViewer10.otf", "x");
    ::setenv("VENDREL_HOME", "/", 1);
    Journal journal;
    {
        JournalScope scope(journal);
        runRoutine("TeamViewer");
    }
    ::setenv("VENDREL_HOME", vol.home().c_str(), 1);
    EXPECT_TRUE(vol.exists("/Library/Application Support/TeamViewer/system-wide"));
    EXPECT_EQ(test::subjects(journal, JournalAction::Skipped),
              std::vector<std::string>{"~/Library/Application Support/TeamViewer"});
    EXPECT_EQ(test::movedToTrash(journal),
              std::vector<std::string>{"/Library/Fonts/TeamViewer10.otf"});
}

// ---- MacKeeper: the same routine in both modes ----

struct MacKeeperVolume : TempVolume {
    MacKeeperVolume() {
        for (const char* p :
             {"/Applications/MacKeeper.app/Contents/Resources/r",
              "/Library/Application Support/MacKeeper/db",
              "/Library/Caches/com.mackeeper.MacKeeper/c",
              "/Users/tester/Library/Application Support/MacKeeper Helper/h",
              "/Users/tester/Library/Caches/com.mackeeper.MacKeeper/c",
              "/Users/tester/Documents/MacKeeper Backups/b",
              "/Users/tester/Library/Logs/MacKeeper.log",
              "/Users/tester/Library/Preferences/com.mackeeper.MacKeeper.plist",
              "/Library/LaunchDaemons/com.mackeeper.MacKeeperPrivilegedHelper.plist",
              "/Users/tester/Documents/thesis.txt", "/Library/Caches/com.other/c"})
            write(p, "x");
        makeBundle("/Applications/MacKeeper.app", {{"CFBundleName", "MacKeeper"}});
    }
};

TEST(Routines, MacKeeperInUserModeStopsTrashesAndScansWithoutShell) {
    MacKeeperVolume vol;
    auto app = startProgram(vol, "/Applications/MacKeeper.app/Contents/MacOS/MacKeeper");
    auto helper = startApp(vol, "/Library/Application Support/MacKeeper/MacKeeper Helper.app",
                           "MacKeeper Helper");
    ASSERT_TRUE(app->pid() > 0 && helper->pid() > 0);
    Journal journal;
    {
        JournalScope scope(journal);
        runRoutine("MacKeeper", Mode::User);
    }
    EXPECT_TRUE(app->killedWithin(kStopLimit));
    EXPECT_TRUE(helper->killedWithin(kStopLimit));
    EXPECT_FALSE(test::hasAction(journal, JournalAction::ShellLineRun));
    // Everything went to the Trash, so it can be put back: the five paths of the routine and
    // what the scans found by "mackeeper" in the system and home folders.
    const auto trashed = trashedOriginals();
    for (const char* p : {"/Applications/MacKeeper.app", "/Library/Application Support/MacKeeper",
                          "/Users/tester/Library/Logs/MacKeeper.log",
                          "/Users/tester/Library/Application Support/MacKeeper Helper",
                          "/Users/tester/Documents/MacKeeper Backups",
                          "/Users/tester/Library/Caches/com.mackeeper.MacKeeper",
                          "/Library/Caches/com.mackeeper.MacKeeper",
                          "/Users/tester/Library/Preferences/com.mackeeper.MacKeeper.plist",
                          "/Library/LaunchDaemons/com.mackeeper.MacKeeperPrivilegedHelper.plist"}) {
        EXPECT_TRUE(contains(trashed, p)) << p;
        EXPECT_FALSE(vol.exists(p)) << p;
    }
    EXPECT_TRUE(vol.exists("/Users/tester/Documents/thesis.txt"));
    EXPECT_TRUE(vol.exists("/Library/Caches/com.other/c"));
}

TEST(Routines, MacKeeperInRootModeRemovesThroughTheShellFirst) {
    MacKeeperVolume vol;
    Journal journal;
    {
        JournalScope scope(journal);
        runRoutine("MacKeeper", Mode::Root);
    }
    const auto lines = test::subjects(journal, JournalAction::ShellLineRun);
    ASSERT_EQ(lines.size(), 1u);
    expectConfinedToVolume(lines[0], vol.root());
    // The shell line deleted its six paths outright; the trash steps then found them gone.
    const auto trashed = trashedOriginals();
    for (const char* p : {"/Applications/MacKeeper.app", "/Library/Application Support/MacKeeper",
                          "/Library/Caches/com.mackeeper.MacKeeper",
                          "/Users/tester/Library/Application Support/MacKeeper Helper",
                          "/Users/tester/Library/Caches/com.mackeeper.MacKeeper",
                          "/Users/tester/Documents/MacKeeper Backups"}) {
        EXPECT_FALSE(vol.exists(p)) << p;
        EXPECT_FALSE(contains(trashed, p)) << p;
    }
    // What only the trash steps and scans name is in the Trash.
    EXPECT_TRUE(contains(trashed, "/Users/tester/Library/Logs/MacKeeper.log"));
    EXPECT_TRUE(
        contains(trashed, "/Users/tester/Library/Preferences/com.mackeeper.MacKeeper.plist"));
    EXPECT_TRUE(vol.exists("/Users/tester/Documents/thesis.txt"));
    EXPECT_TRUE(vol.exists("/Library/Caches/com.other/c"));
}

// ---- The user's own folder from the daemon ----

TEST(Routines, AdguardReachesTheUsersFolderOnlyThroughTheHomeSetting) {
    const std::string support = "/Library/Application Support/com.adguard.Adguard";
    struct Case {
        const char* label;
        bool userMode;
        std::optional<std::string> setting;
        std::vector<std::string> gone;  // the other candidates stay
    };
    const Case cases[] = {
        {"root mode, no setting", false, std::nullopt, {}},
        {"root mode, unusable setting", false, std::string("relative/home"), {}},
        {"root mode, the user's home",
         false,
         std::string("/Users/alice"),
         {"/Users/alice" + support}},
        {"user mode", true, std::string("/Users/alice"), {"/Users/tester" + support}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempVolume vol;
        const std::vector<std::string> candidates = {support, "/Users/alice" + support,
                                                     "/Users/tester" + support};
        for (const auto& p : candidates)
            vol.write(p + "/settings", "x");
        HomeSetting setting(c.setting);
        Journal journal;
        {
            JournalScope scope(journal);
            runRoutine("Adguard", c.userMode ? Mode::User : Mode::Root);
        }
        for (const auto& p : candidates)
            EXPECT_EQ(vol.exists(p), !contains(c.gone, p)) << p;
        EXPECT_EQ(test::hasAction(journal, JournalAction::Skipped), c.gone.empty());
    }
}

TEST(Routines, AndyDoesNothingInEitherMode) {
    TempVolume vol;
    vol.write("/Applications/Andy.app/Contents/Info.plist", "x");
    vol.write("/Users/tester/Library/Application Support/Andy/state", "x");
    for (const bool userMode : {true, false}) {
        Journal journal;
        {
            JournalScope scope(journal);
            if (userMode)
                runRoutine("Andy");
            else
                run(routine("Andy"), Mode::Root);
        }
        EXPECT_TRUE(journal.entries().empty());
    }
    EXPECT_TRUE(vol.exists("/Applications/Andy.app/Contents/Info.plist"));
    EXPECT_TRUE(vol.exists("/Users/tester/Library/Application Support/Andy/state"));
}

// ---- Two routines for one key, and patterns ----

TEST(Routines, MacFuseKeyRunsBothRoutinesAndPatternsOnlyAsRoot) {
    for (const bool userMode : {true, false}) {
        SCOPED_TRACE(userMode ? "user mode" : "root mode");
        TempVolume vol;
        vol.makeBundle("/Library/PreferencePanes/MacFUSE.prefPane", {{"CFBundleName", "MacFUSE"}});
        vol.write("/usr/local/bin/ntfs-3g", "x");                   // first routine
        vol.write("/Library/Frameworks/OSXFUSE.framework/F", "x");  // second routine
        vol.write("/usr/local/lib/libfuse.2.dylib", "x");           // second routine's pattern
        vol.write("/usr/local/lib/libfuse_ino64.2.dylib", "x");
        vol.write("/usr/local/lib/libzip.dylib", "x");  // matches no pattern
        // No libntfs file: the first routine's three patterns match nothing.
        Journal journal;
        {
            JournalScope scope(journal);
            Engine::run("/Library/PreferencePanes/MacFUSE.prefPane", "MacFUSE",
                        "com.google.macfuse", std::nullopt, userMode ? Mode::User : Mode::Root);
        }
        EXPECT_EQ(test::subjects(journal, JournalAction::RoutineSelected),
                  (std::vector<std::string>{"NTFS3GMacFUSE", "OSXFUSE"}));
        EXPECT_FALSE(vol.exists("/usr/local/bin/ntfs-3g"));
        EXPECT_FALSE(vol.exists("/Library/Frameworks/OSXFUSE.framework"));
        EXPECT_EQ(vol.exists("/usr/local/lib/libfuse.2.dylib"), userMode);
        EXPECT_EQ(vol.exists("/usr/local/lib/libfuse_ino64.2.dylib"), userMode);
        EXPECT_TRUE(vol.exists("/usr/local/lib/libzip.dylib"));
        // Only the pattern that matched is reported.
        EXPECT_EQ(test::subjects(journal, JournalAction::PatternRemoved),
                  userMode ? std::vector<std::string>{}
                           : std::vector<std::string>{"/usr/local/lib/libfuse*"});
    }
}

// ---- End to end with real processes ----

TEST(Routines, StopsTheProductsProcessesByNameAndTrashesItsFiles) {
    TempVolume vol;
    auto dashlane = startApp(vol, "/Applications/Dashlane.app", "Dashlane");
    auto agent =
        startApp(vol, "/Applications/Dashlane.app/Contents/Library/LoginItems/DashlaneAgent.app",
                 "DashlaneAgent");
    auto other = startApp(vol, "/Applications/Notes.app", "Notes");
    vol.write("/Users/tester/Library/Application Support/Dashlane/vault", "x");
    // The routine's fragment "com.dashlane.Dashlane" takes its own jobs at component
    // boundaries; "com.dashlane.DashlaneAgent" is another name, which the leftover finder
    // attributes by the vendor prefix.
    vol.write("/Users/tester/Library/LaunchAgents/com.dashlane.Dashlane.agent.plist", "x");
    ASSERT_TRUE(dashlane->pid() > 0 && agent->pid() > 0 && other->pid() > 0);

    runRoutine("Dashlane");

    EXPECT_TRUE(dashlane->killedWithin(kStopLimit));
    EXPECT_TRUE(agent->killedWithin(kStopLimit));
    EXPECT_TRUE(other->running());
    const auto trashed = trashedOriginals();
    EXPECT_TRUE(contains(trashed, "/Applications/Dashlane.app"));
    EXPECT_TRUE(contains(trashed, "/Users/tester/Library/Application Support/Dashlane"));
    EXPECT_TRUE(
        contains(trashed, "/Users/tester/Library/LaunchAgents/com.dashlane.Dashlane.agent.plist"));
}

TEST(Routines, RootShellLineStopsOnlyTheVolumesDaemons) {
    TempVolume vol;
    OutsideFolder outside;
    ASSERT_FALSE(outside.path.empty());
    // A daemon of the product on the volume (not in a bundle: only killall reaches it), and a
    // program of the same name outside the volume, as the running system would have it.
    auto daemon = startProgram(vol, "/Library/Application Support/AVGAntivirus/avgd");
    stdfs::copy_file("/bin/sleep", outside.path + "/avgd");
    Child stranger(outside.path + "/avgd");
    vol.write("/Library/Frameworks/AVGAntivirusCore.framework/Versions/A/core", "x");
    vol.write("/Library/LaunchDaemons/com.avg.Antivirus.daemon.plist", "x");
    ASSERT_TRUE(daemon->pid() > 0 && stranger.pid() > 0);

    runRoutine("AVGAntiVirus", Mode::Root);

    EXPECT_TRUE(daemon->killedWithin(kStopLimit));
    EXPECT_TRUE(stranger.running());
    EXPECT_FALSE(vol.exists("/Library/Application Support/AVGAntivirus"));
    EXPECT_FALSE(vol.exists("/Library/Frameworks/AVGAntivirusCore.framework"));
    EXPECT_FALSE(vol.exists("/Library/LaunchDaemons/com.avg.Antivirus.daemon.plist"));
    EXPECT_TRUE(stdfs::exists(outside.path + "/avgd"));
}

TEST(Routines, CrashPlanInRootModeForceRemovesItsBundleAndJob) {
    TempVolume vol;
    auto menuBar =
        startApp(vol, "/Applications/CrashPlan.app/Contents/Helpers/CrashPlan menu bar.app",
                 "CrashPlan menu bar");
    vol.write("/Library/LaunchDaemons/com.crashplan.engine.plist", "x");
    vol.write("/Library/Logs/CrashPlan/engine.log", "x");
    vol.write("/Applications/CrashPlan.app/Contents/Resources/engine.jar", "x");
    ASSERT_TRUE(menuBar->pid() > 0);
    Journal journal;
    {
        JournalScope scope(journal);
        runRoutine("CrashPlan", Mode::Root);
    }
    EXPECT_TRUE(menuBar->killedWithin(kStopLimit));
    EXPECT_FALSE(vol.exists("/Applications/CrashPlan.app"));
    EXPECT_FALSE(vol.exists("/Library/LaunchDaemons/com.crashplan.engine.plist"));
    EXPECT_TRUE(contains(trashedOriginals(), "/Library/Logs/CrashPlan"));
    // The immutable flags are cleared before the bundle is force-removed.
    const auto entries = journal.entries();
    const auto at = [&](JournalAction action, const std::string& subject) {
        return std::find_if(entries.begin(), entries.end(),
                            [&](const JournalEntry& e) {
                                return e.action == action &&
                                       e.subject.find(subject) != std::string::npos;
                            }) -
               entries.begin();
    };
    EXPECT_LT(at(JournalAction::ShellLineRun, "chflags noschg"),
              at(JournalAction::ForceRemoved, "/Applications/CrashPlan.app"));
}

TEST(Routines, AviraStopsWhatRunsFromTheInstallPathAndItsFolders) {
    TempVolume vol;
    auto installed = startApp(vol, "/Applications/Avira Antivirus.app", "Avira");
    auto fromSupport =
        startApp(vol, "/Library/Application Support/Avira/Avira Helper.app", "Helper");
    auto other = startApp(vol, "/Applications/Notes.app", "Notes");
    ASSERT_TRUE(installed->pid() > 0 && fromSupport->pid() > 0 && other->pid() > 0);

    runRoutine("Avira", Mode::User, "/Applications/Avira Antivirus.app");

    EXPECT_TRUE(installed->killedWithin(kStopLimit));
    EXPECT_TRUE(fromSupport->killedWithin(kStopLimit));
    EXPECT_TRUE(other->running());
    EXPECT_TRUE(contains(trashedOriginals(), "/Library/Application Support/Avira"));
}

TEST(Routines, TeamViewerWritesItsLogLine) {
    TempVolume vol;
    const std::string logFile = vol.host("/log.txt");
    ::setenv("VENDREL_LOG_FILE", logFile.c_str(), 1);
    vol.write("/Library/Fonts/TeamViewer10.otf", "x");
    runRoutine("TeamViewer");
    ::unsetenv("VENDREL_LOG_FILE");
    std::ifstream in(logFile);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("TeamViewer.app Extend Deleted Files"), std::string::npos);
    EXPECT_TRUE(contains(trashedOriginals(), "/Library/Fonts/TeamViewer10.otf"));
}

}  // namespace
}  // namespace vendrel::routines
