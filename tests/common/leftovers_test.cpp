// Leftovers: the matching rules that keep every remover off other applications' data, the
// leftover finder and its evidence, and the fixture of real applications removed one by one
// on real temporary volumes.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/extended_delete.h"
#include "common/files.h"
#include "common/journal.h"
#include "common/leftover_finder.h"
#include "common/leftover_match.h"
#include "common/scanners.h"
#include "tests/common/sweep_test_util.h"
#include "tests/support/env.h"
#include "tests/support/real_apps.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

using test::TempVolume;
namespace stdfs = std::filesystem;

std::string jobPlist(const std::string& program) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>Label</key><string>job</string><key>Program</key><string>" +
           program + "</string></dict></plist>\n";
}

void installApp(const TempVolume& vol, const std::string& path, const std::string& name,
                const std::string& id) {
    vol.makeBundle(path, {{"CFBundleName", name}, {"CFBundleIdentifier", id}});
}

void removeWithEngine(const std::string& path, const std::string& name, const std::string& id,
                      Mode mode = Mode::User) {
    files::moveToTrash(path);
    extended_delete::run(path, name, id, std::nullopt, mode);
}

// ---- The rules ----

TEST(LeftoverMatch, IdentifierMatchesAtComponentBoundariesOnly) {
    struct Case {
        const char* entry;
        bool matches;
    };
    const Case cases[] = {
        {"com.foo", true},
        {"com.foo.plist", true},
        {"COM.FOO.savedState", true},
        {"com.foo.helper", true},
        {"group.com.foo", true},
        {"ABCDE12345.com.foo", true},
        {"ABCDE12345.com.foo.shared", true},
        {"ABCDE12345.group.com.foo", true},
        {"com.foo2", false},
        {"com.foo2.plist", false},
        {"com.foobar", false},
        {"xcom.foo", false},
        {"xcom.foo.plist", false},
        {"net.other.com.foo", true},
        {"net.other.com.foo.plist", false},
        {"abc.com.foo", true},
        {"com.fo.plist", false},
        {"com.foo-helper", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(leftovers::identifierMatches(c.entry, "com.foo"), c.matches);
    }
    // Identifiers without "com." follow the same rule.
    EXPECT_TRUE(leftovers::identifierMatches("org.videolan.vlc.plist", "org.videolan.vlc"));
    EXPECT_FALSE(leftovers::identifierMatches("org.videolan.vlc2", "org.videolan.vlc"));
}

TEST(LeftoverMatch, NamesFragmentsAndProgramPaths) {
    EXPECT_TRUE(leftovers::nameMatches("audacity", "Audacity"));
    EXPECT_TRUE(leftovers::nameMatches("Audacity.log", "Audacity"));
    EXPECT_FALSE(leftovers::nameMatches("Spotify Tools", "Spotify"));
    EXPECT_FALSE(leftovers::nameMatches("Steam2", "Steam"));
    EXPECT_FALSE(leftovers::nameMatches("Steam Link", "Steam"));

    // Routine fragments: dotted ones by the identifier rule, others as words.
    EXPECT_TRUE(leftovers::fragmentMatches("com.mackeeper.MacKeeper.plist", "mackeeper"));
    EXPECT_TRUE(leftovers::fragmentMatches("com.paragon-software.ntfs", "Paragon"));
    EXPECT_FALSE(leftovers::fragmentMatches("Paragonite", "Paragon"));
    EXPECT_TRUE(leftovers::fragmentMatches("AirParrotDriver.kext", "AirParrotDriver.kext"));
    EXPECT_FALSE(leftovers::fragmentMatches("xcom.foo.plist", "com.foo"));

    EXPECT_TRUE(leftovers::programLiesIn("/Applications/Foo.app/Contents/MacOS/Foo",
                                         "/Applications/Foo.app"));
    EXPECT_TRUE(leftovers::programLiesIn("/APPLICATIONS/FOO.APP/Contents/MacOS/Foo",
                                         "/Applications/Foo.app/"));
    EXPECT_FALSE(leftovers::programLiesIn("/Library/Application Support/Steam Link/helper",
                                          "/Library/Application Support/Steam"));
    EXPECT_FALSE(leftovers::programLiesIn("/Applications/Foo.app", "/Applications/Foo.app"));
    EXPECT_FALSE(leftovers::programLiesIn("/Applications/Foo.app/x", "/Applications"));
}

TEST(LeftoverMatch, GenericNamesAndIdentifiersMatchNothing) {
    for (const char* name : {"S", "Go", "", "  ", "Helper", "updater", "..", "a/b"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(leftovers::isSpecificName(name));
        EXPECT_FALSE(leftovers::nameMatches(name, name));
    }
    for (const char* id : {"com", "com.", "com.apple", "com.a", "io.s.s", "N/A", "../../System"}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(leftovers::isSpecificIdentifier(id));
        EXPECT_FALSE(leftovers::identifierMatches(id, id));
    }
    EXPECT_TRUE(leftovers::isSpecificName("VLC"));
    EXPECT_TRUE(leftovers::isSpecificIdentifier("md.obsidian"));
    EXPECT_TRUE(leftovers::isSpecificIdentifier("com.sublimetext.4"));
    EXPECT_TRUE(leftovers::isSpecificIdentifier("notion.id"));
}

// ---- The engine and the scanners ----

TEST(LeftoverEngine, ScannersTakeOnlyBoundaryMatches) {
    TempVolume vol;
    const std::string prefs = vol.home() + "/Library/Preferences/";
    const std::vector<std::string> taken = {"com.foo.plist", "COM.FOO.agent.plist"};
    const std::vector<std::string> kept = {"com.foo2.plist", "xcom.foo.plist", "com.foobar.plist"};
    for (const auto& n : taken)
        vol.write(prefs + n, "x");
    for (const auto& n : kept)
        vol.write(prefs + n, "x");
    scanners::preferences(nullptr, "com.foo", true);
    for (const auto& n : taken)
        EXPECT_FALSE(vol.exists(prefs + n)) << n;
    for (const auto& n : kept)
        EXPECT_TRUE(vol.exists(prefs + n)) << n;
}

// The cases that took another application's data, one removal each on a volume where the
// other application is installed.
TEST(LeftoverEngine, NeverTakesAnotherInstalledApplicationsData) {
    struct Case {
        const char* name;
        const char* id;
        const char* otherName;
        const char* otherId;
        std::vector<std::string> mustStay;  // "~" is the home folder
        std::vector<std::string> mustGo;
    };
    const Case cases[] = {
        {"Steam",
         "com.valvesoftware.steam",
         "Steam Link",
         "com.valvesoftware.steamlink",
         {"~/Library/Caches/com.valvesoftware.steamlink",
          "~/Library/Application Support/Steam Link/x"},
         {"~/Library/Caches/com.valvesoftware.steam", "~/Library/Application Support/Steam/x"}},
        {"Brave Browser",
         "com.brave.Browser",
         "Brave Browser Beta",
         "com.brave.Browser.beta",
         {"~/Library/Caches/com.brave.Browser.beta",
          "~/Library/Preferences/com.brave.Browser.beta.plist"},
         {"~/Library/Caches/com.brave.Browser", "~/Library/Preferences/com.brave.Browser.plist"}},
        {"Discord",
         "com.hnc.Discord",
         "Discord PTB",
         "com.hnc.DiscordPTB",
         {"~/Library/Caches/com.hnc.DiscordPTB",
          "~/Library/Saved Application State/com.hnc.DiscordPTB.savedState"},
         {"~/Library/Caches/com.hnc.Discord",
          "~/Library/Saved Application State/com.hnc.Discord.savedState"}},
        {"Appl",
         "com.appl",
         "Safari",
         "com.apple.Safari",
         {"~/Library/Preferences/com.apple.Safari.plist", "~/Library/Caches/com.apple.Safari"},
         {"~/Library/Preferences/com.appl.plist"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempVolume vol;
        auto logical = [&](const std::string& p) {
            return p[0] == '~' ? vol.home() + p.substr(1) : p;
        };
        const std::string path = std::string("/Applications/") + c.name + ".app";
        installApp(vol, path, c.name, c.id);
        installApp(vol, std::string("/Applications/") + c.otherName + ".app", c.otherName,
                   c.otherId);
        for (const auto& p : c.mustStay)
            vol.write(logical(p), "x");
        for (const auto& p : c.mustGo)
            vol.write(logical(p), "x");
        removeWithEngine(path, c.name, c.id);
        for (const auto& p : c.mustStay)
            EXPECT_TRUE(vol.exists(logical(p))) << p;
        for (const auto& p : c.mustGo)
            EXPECT_FALSE(vol.exists(logical(p))) << p;
    }
}

TEST(LeftoverEngine, LaunchJobsMatchOnlyProgramsInsideTheFolder) {
    TempVolume vol;
    installApp(vol, "/Applications/Steam.app", "Steam", "com.valvesoftware.steam");
    installApp(vol, "/Applications/S.app", "S", "io.s");
    const std::string agents = vol.home() + "/Library/LaunchAgents/";
    vol.write(agents + "steam.clean.plist",
              jobPlist(vol.home() + "/Library/Application Support/Steam/steamclean"));
    vol.write(agents + "steamlink.plist",
              jobPlist(vol.home() + "/Library/Application Support/Steam Link/updater"));
    vol.write("/Library/LaunchDaemons/com.techsmith.snagit.plist",
              jobPlist("/Library/Application Support/Snagit/agent"));
    removeWithEngine("/Applications/Steam.app", "Steam", "com.valvesoftware.steam");
    EXPECT_FALSE(vol.exists(agents + "steam.clean.plist"));
    EXPECT_TRUE(vol.exists(agents + "steamlink.plist"));
    // A one-letter name drives no match, by folder or by program path.
    removeWithEngine("/Applications/S.app", "S", "io.s");
    EXPECT_TRUE(vol.exists("/Library/LaunchDaemons/com.techsmith.snagit.plist"));
}

TEST(LeftoverEngine, RoutineLeavesAVendorFolderThatAnotherProductShares) {
    TempVolume vol;
    installApp(vol, "/Applications/Garmin Express.app", "Garmin Express", "com.garmin.renu.client");
    installApp(vol, "/Library/PreferencePanes/ParagonNTFS.prefPane", "ParagonNTFS",
               "com.paragon-software.ntfs.prefpane");
    installApp(vol, "/Applications/Paragon ExtFS.app", "Paragon ExtFS",
               "com.paragon-software.extfs");
    const std::string shared = "/Library/Application Support/Paragon Software";
    vol.write(shared + "/Paragon ExtFS/license", "x");
    vol.write(vol.home() + "/Library/Application Support/Garmin/Express/devices", "x");
    vol.write(vol.home() + "/Library/Application Support/Garmin/BaseCamp/db", "x");
    Journal journal;
    {
        JournalScope scope(journal);
        removeWithEngine("/Library/PreferencePanes/ParagonNTFS.prefPane", "ParagonNTFS",
                         "com.paragon-software.ntfs.prefpane");
        removeWithEngine("/Applications/Garmin BaseCamp.app", "BaseCamp", "com.Garmin.BaseCamp");
    }
    EXPECT_TRUE(vol.exists(shared + "/Paragon ExtFS/license"));
    EXPECT_TRUE(vol.exists(vol.home() + "/Library/Application Support/Garmin/Express/devices"));
    EXPECT_FALSE(vol.exists(vol.home() + "/Library/Application Support/Garmin/BaseCamp"));
    const auto skipped = test::subjects(journal, JournalAction::Skipped);
    EXPECT_NE(std::find(skipped.begin(), skipped.end(), shared), skipped.end());
}

// Root's Trash may hold what an earlier removal put there; the administrator can still put
// it back, so a root-mode run purges only its own items.
TEST(LeftoverEngine, RootModePurgesOnlyItsOwnItemsFromRootsTrash) {
    TempVolume vol;
    vol.write("/private/var/root/.Trash/Other App Data/keep", "earlier removal");
    vol.write("/Library/Application Support/Avira/x", "routine item");
    vol.makeBundle("/Applications/Avira.app", {{"CFBundleName", "Avira"}});
    test::ScopedEnv root("VENDREL_HOME", std::string("/private/var/root"));
    extended_delete::run("/Applications/Avira.app", "Avira", "com.avira.antivirus", std::nullopt,
                         Mode::Root);
    EXPECT_TRUE(vol.exists("/private/var/root/.Trash/Other App Data/keep"));
    EXPECT_FALSE(vol.exists("/Library/Application Support/Avira"));
    EXPECT_FALSE(vol.exists("/Applications/Avira.app"));
    // The routine's item went to root's Trash and was purged from there.
    size_t inTrash = 0;
    for (const auto& e : stdfs::directory_iterator(vol.host("/private/var/root/.Trash")))
        inTrash +=
            e.path().filename() == "Other App Data" || e.path().filename() == ".Vendrel-PutBack"
                ? 0
                : 1;
    EXPECT_EQ(inTrash, 0u);
}

// ---- The finder ----

TEST(LeftoverFinder, FindsBeyondTheEngineWithEvidence) {
    TempVolume vol;
    const std::string lib = vol.home() + "/Library";
    installApp(vol, "/Applications/Telegram.app", "Telegram", "ru.keepcoder.Telegram");
    installApp(vol, "/Applications/Google Chrome.app", "Google Chrome", "com.google.Chrome");
    installApp(vol, "/Applications/Google Chrome Canary.app", "Google Chrome Canary",
               "com.google.Chrome.canary");
    struct Expect {
        std::string path;
        leftovers::Rule rule;
        std::string evidence;
    };
    const std::vector<Expect> telegram = {
        {lib + "/HTTPStorages/ru.keepcoder.Telegram", leftovers::Rule::Identifier,
         "ru.keepcoder.Telegram"},
        {lib + "/Preferences/ByHost/ru.keepcoder.Telegram.0F3C.plist", leftovers::Rule::Identifier,
         "ru.keepcoder.Telegram"},
        {lib + "/Group Containers/6N38VWS5BX.ru.keepcoder.Telegram", leftovers::Rule::Identifier,
         "ru.keepcoder.Telegram"},
        {lib + "/Group Containers/6N38VWS5BX.shared", leftovers::Rule::TeamIdentifier,
         "6N38VWS5BX"},
        {lib + "/Caches/ru.keepcoder.Telegram.ShipIt", leftovers::Rule::Identifier,
         "ru.keepcoder.Telegram"},
        {lib + "/Logs/DiagnosticReports/Telegram_2024-03-02-101112_Mac.crash",
         leftovers::Rule::Name, "Telegram"},
        {lib + "/Application Support/telegram", leftovers::Rule::Name, "Telegram"},
        {lib + "/LaunchAgents/local.updater.plist", leftovers::Rule::ProgramPath,
         lib + "/Application Support/telegram/updater"},
        {"/Library/PrivilegedHelperTools/ru.keepcoder.Telegram.helper", leftovers::Rule::Identifier,
         "ru.keepcoder.Telegram"},
        {"/Library/LaunchDaemons/helper.plist", leftovers::Rule::ProgramPath,
         "/Library/PrivilegedHelperTools/ru.keepcoder.Telegram.helper"},
    };
    for (const auto& e : telegram) {
        if (e.path.find("LaunchAgents") != std::string::npos)
            vol.write(e.path, jobPlist(lib + "/Application Support/telegram/updater"));
        else if (e.path.find("LaunchDaemons") != std::string::npos)
            vol.write(e.path,
                      jobPlist("/Library/PrivilegedHelperTools/ru.keepcoder.Telegram.helper"));
        else if (e.path.find("Application Support/telegram") != std::string::npos)
            vol.write(e.path + "/updater", "12345");
        else
            vol.write(e.path, "12345");
    }
    // Not Telegram's: another team's container, a user's documents.
    vol.write(lib + "/Group Containers/ZZZZZZZZZZ.shared/x", "x");
    vol.write(vol.home() + "/Documents/Telegram/chat.txt", "x");

    auto ownership = leftovers::Ownership::forRemoval("/Applications/Telegram.app", "Telegram",
                                                      "ru.keepcoder.Telegram");
    const auto findings = leftovers::findLeftovers(*ownership);
    for (const auto& e : telegram) {
        SCOPED_TRACE(e.path);
        const auto it = std::find_if(findings.begin(), findings.end(),
                                     [&](const auto& f) { return f.path == e.path; });
        ASSERT_NE(it, findings.end());
        EXPECT_EQ(it->rule, e.rule);
        EXPECT_EQ(it->evidence, e.evidence);
        if (e.rule != leftovers::Rule::ProgramPath) {
            EXPECT_EQ(it->size, std::optional<uint64_t>(5));
        }
        EXPECT_EQ(it->system, e.path[0] == '/' && e.path.rfind(vol.home(), 0) != 0);
    }
    EXPECT_EQ(findings.size(), telegram.size());

    // A vendor's folder: the application's own folder in it, never its sibling's.
    vol.write(lib + "/Application Support/Google/Chrome/Default", "x");
    vol.write(lib + "/Application Support/Google/Chrome Canary/Default", "x");
    ownership = leftovers::Ownership::forRemoval("/Applications/Google Chrome.app", "Google Chrome",
                                                 "com.google.Chrome");
    const auto chrome = leftovers::findLeftovers(*ownership);
    ASSERT_EQ(chrome.size(), 1u);
    EXPECT_EQ(chrome[0].path, lib + "/Application Support/Google/Chrome");
    EXPECT_EQ(chrome[0].rule, leftovers::Rule::VendorFolder);
}

// The applications of a fixture removed one after another from one volume, first to last and
// then, on a second volume, last to first, so that each of two siblings goes once while the
// other is still installed: the engine, then the finder's findings (system items too, as the
// daemon removes them). Nothing of an application still installed and no trap may go. Returns
// how many of the removed applications' leftovers went, and how many there were.
std::pair<size_t, size_t> removeEachInTurn(const std::string& json) {
    size_t leftoversTotal = 0, removedTotal = 0;
    for (const bool reverse : {false, true}) {
        SCOPED_TRACE(reverse ? "last to first" : "first to last");
        TempVolume vol;
        const auto volume = fixture::buildRealAppsVolume(json, vol.root(), vol.home());
        std::vector<size_t> order(volume.apps.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = reverse ? order.size() - 1 - i : i;
        std::vector<bool> removed(volume.apps.size(), false);
        for (const size_t target : order) {
            const auto& app = volume.apps[target];
            SCOPED_TRACE(app.name);
            files::moveToTrash(app.bundle);
            const auto ownership =
                leftovers::Ownership::forRemoval(app.bundle, app.bundleName, app.identifier);
            const auto findings = leftovers::findLeftovers(*ownership);
            extended_delete::run(app.bundle, app.bundleName, app.identifier, std::nullopt,
                                 Mode::User);
            leftovers::removeFindings(findings, true);
            removed[target] = true;

            for (const auto& f : findings)
                EXPECT_FALSE(f.evidence.empty()) << f.path;
            for (const auto& item : app.items) {
                ++leftoversTotal;
                removedTotal += vol.exists(item) ? 0 : 1;
            }
            for (size_t other = 0; other < volume.apps.size(); ++other) {
                if (removed[other])
                    continue;
                EXPECT_TRUE(vol.exists(volume.apps[other].bundle)) << volume.apps[other].bundle;
                for (const auto& item : volume.apps[other].items)
                    EXPECT_TRUE(vol.exists(item)) << volume.apps[other].name << ": " << item;
            }
            for (const auto& item : volume.keep)
                EXPECT_TRUE(vol.exists(item)) << "trap " << item;
        }
    }
    return {removedTotal, leftoversTotal};
}

TEST(LeftoverFixture, RemovingEachRealApplicationInTurnTouchesNothingElse) {
    const std::string json = VENDREL_SOURCE_DIR "/tests/data/real_apps.json";
    ASSERT_GE(fixture::loadRealApps(json, "/Users/tester").apps.size(), 40u);
    const auto [removed, leftovers] = removeEachInTurn(json);
    EXPECT_GE(double(removed), 0.9 * double(leftovers))
        << removed << " of " << leftovers << " leftovers removed";
}

// Applications the rules were not written against: the same check of precision; their
// recall is measured (bench/leftovers_bench.cpp), not asserted.
TEST(LeftoverFixture, OtherApplicationsLoseNothingOfEachOther) {
    removeEachInTurn(VENDREL_SOURCE_DIR "/tests/data/other_apps.json");
}

}  // namespace
}  // namespace vendrel
