// The uninstall difficulty rater on real temporary volumes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/analysis/difficulty.h"
#include "common/request_files.h"
#include "tests/app/analysis_fixture.h"

namespace vendrel {
namespace {

using test::AnalysisVolumeTest;
using test::kRequestFolder;
using test::TempVolume;

constexpr const char* kBundle = "/Applications/Foo.app";
constexpr const char* kName = "Foo";
constexpr const char* kId = "com.foo.Foo";
constexpr const char* kHome = "/Users/tester";

using RaterTest = AnalysisVolumeTest;

uint64_t rankOf(const std::string& path = kBundle, const std::string& name = kName,
                const std::string& id = kId) {
    return DifficultyRater().rank(path, name, id);
}

// Names of the probes that answer true for the default application.
std::vector<std::string> trueProbes(const std::string& path = kBundle,
                                    const std::string& name = kName, const std::string& id = kId) {
    std::vector<std::string> out;
    DifficultyRater ud;
    for (const auto& p : DifficultyRater::probes())
        if ((ud.*p.probe)(path, name, id))
            out.emplace_back(p.name);
    return out;
}

TEST_F(RaterTest, EachPlaceIsFoundByItsOwnProbeAndAddsTwo) {
    struct Case {
        const char* probe;
        std::function<void(const TempVolume&)> trace;
    };
    const std::string home = kHome;
    const std::vector<Case> cases = {
        {"/Users/Shared", [](const TempVolume& v) { v.mkdir("/Users/Shared/Foo"); }},
        {"/Library/Application Support",
         [](const TempVolume& v) { v.mkdir("/Library/Application Support/Foo"); }},
        {"/Library/Application Support",  // fallback on the identifier
         [](const TempVolume& v) {
             v.write("/Library/Application Support/COM.FOO.Foo.helper", "");
         }},
        {"~/Library/Application Support",
         [&](const TempVolume& v) { v.mkdir(home + "/Library/Application Support/Foo"); }},
        {"~/Library/Application Support",
         [&](const TempVolume& v) {
             v.mkdir(home + "/Library/Application Support/x.com.foo.Foo");
         }},
        {"/Library/Preferences (name)",
         [](const TempVolume& v) { v.write("/Library/Preferences/Foo", ""); }},
        {"~/Library/Preferences (name)",
         [&](const TempVolume& v) { v.write(home + "/Library/Preferences/Foo", ""); }},
        {"/private/var/db/receipts",
         [](const TempVolume& v) {
             v.write("/private/var/db/receipts/com.foo.Foo.pkg.plist", "");
         }},
        {"~/Library/Caches",
         [&](const TempVolume& v) { v.mkdir(home + "/Library/Caches/com.foo.Foo"); }},
        {"~/Library/Cookies",
         [&](const TempVolume& v) {
             v.write(home + "/Library/Cookies/com.foo.Foo.binarycookies", "");
         }},
        {"~/Library/Saved Application State",
         [&](const TempVolume& v) {
             v.mkdir(home + "/Library/Saved Application State/com.foo.Foo.savedState");
         }},
        {"~/Library/Containers",
         [&](const TempVolume& v) { v.mkdir(home + "/Library/Containers/com.foo.Foo"); }},
        {"~/Library/Group Containers",
         [&](const TempVolume& v) {
             v.mkdir(home + "/Library/Group Containers/ABCD.com.foo.Foo");
         }},
        {"Preferences (identifier)",
         [&](const TempVolume& v) {
             v.write(home + "/Library/Preferences/com.foo.Foo.plist", "");
         }},
        {"Preferences (identifier)",
         [](const TempVolume& v) { v.write("/Library/Preferences/com.foo.Foo.plist", ""); }},
        {"recent documents",
         [&](const TempVolume& v) {
             v.write(home +
                         "/Library/Application Support/com.apple.sharedfilelist/"
                         "com.apple.LSSharedFileList.ApplicationRecentDocuments/com.foo.foo.sfl2",
                     "");
         }},
        {"bundle Library",
         [](const TempVolume& v) { v.mkdir("/Applications/Foo.app/Contents/Library"); }},
        {"bundle Frameworks",
         [](const TempVolume& v) { v.mkdir("/Applications/Foo.app/Contents/Frameworks"); }},
        {"bundle PlugIns",
         [](const TempVolume& v) { v.mkdir("/Applications/Foo.app/Contents/PlugIns"); }},
        {"bundle PlugIns", [](const TempVolume& v) { v.mkdir("/Applications/Foo.app/PlugIns"); }},
        {"bundle XPCServices",
         [](const TempVolume& v) { v.mkdir("/Applications/Foo.app/Contents/XPCServices"); }},
        {"bundle Helpers",
         [](const TempVolume& v) { v.mkdir("/Applications/Foo.app/Contents/Helpers"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.probe);
        TempVolume v;
        v.mkdir(kRequestFolder);
        v.mkdir("/Applications/Foo.app/Contents/MacOS");
        c.trace(v);
        EXPECT_EQ(trueProbes(), std::vector<std::string>{c.probe});
        EXPECT_EQ(rankOf(), 3u);
    }
}

TEST_F(RaterTest, NearMissesAreNoTraces) {
    vol.mkdir("/Applications/Foo.app/Contents/MacOS");
    // A receipt of the vendor, not of this product.
    vol.write("/private/var/db/receipts/com.foo.pkg.plist", "");
    // Name probes want the exact name as a path component, not a substring.
    vol.mkdir("/Users/Shared/Foo Backup");
    vol.write(vol.home() + "/Library/Preferences/Foo.plist", "");
    // Content folders glued to the bundle's name are not inside the bundle.
    vol.mkdir("/Applications/Foo.appHelpers");
    vol.mkdir("/Applications/Foo.appFrameworks");
    // Another application's traces.
    vol.mkdir(vol.home() + "/Library/Caches/com.bar.Bar");
    EXPECT_EQ(trueProbes(), std::vector<std::string>{});
    EXPECT_EQ(rankOf(), 1u);
}

TEST_F(RaterTest, RankGrowsByTwoPerTraceUpToThirtySeven) {
    vol.mkdir("/Applications/Foo.app/Contents/MacOS");
    const std::string home = vol.home();
    const std::vector<std::function<void()>> traces = {
        [&] { vol.mkdir("/Users/Shared/Foo"); },
        [&] { vol.write(home + "/Library/Preferences/Foo", ""); },
        [&] { vol.mkdir(home + "/Library/Caches/com.foo.Foo"); },
        [&] { vol.write("/private/var/db/receipts/com.foo.Foo.pkg.bom", ""); },
        [&] { vol.mkdir("/Library/Application Support/Foo"); },
        [&] { vol.mkdir(home + "/Library/Application Support/Foo"); },
        [&] { vol.write("/Library/Preferences/Foo", ""); },
        [&] { vol.write(home + "/Library/Cookies/com.foo.Foo.binarycookies", ""); },
        [&] { vol.mkdir(home + "/Library/Saved Application State/com.foo.Foo.savedState"); },
        [&] { vol.mkdir(home + "/Library/Containers/com.foo.Foo"); },
        [&] { vol.mkdir(home + "/Library/Group Containers/T.com.foo.Foo"); },
        [&] { vol.write("/Library/Preferences/com.foo.Foo.plist", ""); },
        [&] {
            vol.write(home +
                          "/Library/Application Support/com.apple.sharedfilelist/"
                          "com.apple.LSSharedFileList.ApplicationRecentDocuments/com.foo.Foo.sfl2",
                      "");
        },
        [&] { vol.mkdir("/Applications/Foo.app/Contents/Library"); },
        [&] { vol.mkdir("/Applications/Foo.app/Contents/Frameworks"); },
        [&] { vol.mkdir("/Applications/Foo.app/Contents/PlugIns"); },
        [&] { vol.mkdir("/Applications/Foo.app/Contents/XPCServices"); },
        [&] { vol.mkdir("/Applications/Foo.app/Contents/Helpers"); },
    };
    // Two traces: Normal(5); three: Hard(7); four: Diffcult(9); all eighteen: 37.
    EXPECT_EQ(rankOf(), 1u);
    for (size_t k = 0; k < traces.size(); ++k) {
        SCOPED_TRACE(k + 1);
        traces[k]();
        EXPECT_EQ(rankOf(), 1 + 2 * (k + 1));
    }
}

TEST_F(RaterTest, SpecialRemovalListByBundleNameIgnoringCase) {
    struct Row {
        const char* path;
        bool special;
    };
    const Row rows[] = {
        {"/Applications/TeamViewer.app", true},
        {"/Applications/teamviewer.APP", true},
        {"/TeamViewer.app", false},  // fewer than three components
        {"/Applications/Utilities/Android File Transfer.app", true},
        {"/Library/PreferencePanes/wacomtablet.prefPane", true},
        {"/Applications/Intego", true},
        {"/Applications/Intego.app", false},
        {"/Applications/qBittorrent.app", true},
        {"/Applications/VyprVPN.app", true},
        {"/Applications/TeamViewer.app.bak", false},
        {"/Applications/TeamViewer Host.app", false},
        {"/Applications/NoSleep.prefPane", false},  // has a cleanup, not on the list
        {"/Applications/Vendrel.app", false},
    };
    DifficultyRater ud;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        EXPECT_EQ(ud.needsSpecialRemoval(r.path, "x", "y"), r.special);
        EXPECT_EQ(rankOf(r.path, "Whatever", "com.whatever.App") == kSpecialRemovalRank, r.special);
    }
    EXPECT_EQ(kSpecialRemovalBundles.front(), "TeamViewer.app");
    EXPECT_EQ(kSpecialRemovalBundles[85], "qbittorrent.app");
    EXPECT_EQ(kSpecialRemovalBundles[196], "qbittorrent.app");
    EXPECT_EQ(kSpecialRemovalBundles.back(), "VyprVPN.app");
}

TEST_F(RaterTest, ACommandListRatesOnlyTheApplicationItWasFetchedFor) {
    vol.mkdir("/Applications/Foo.app/Contents/MacOS");
    ASSERT_TRUE(
        request_files::writeCommandList(kRequestFolder, {"rm -rf ~/Library/Foo;", kBundle}));
    EXPECT_TRUE(removalCommandListInForce(kBundle));
    EXPECT_EQ(rankOf(), kSpecialRemovalRank);
    // Any application it was fetched for rates 255, whatever its traces.
    EXPECT_EQ(rankOf(kBundle, "", ""), kSpecialRemovalRank);

    // A list left for another bundle is not in force here, and neither is an unreadable one.
    ASSERT_TRUE(request_files::writeCommandList(
        kRequestFolder, {"rm -rf ~/Library/Bar;", "/Applications/Bar.app"}));
    EXPECT_FALSE(removalCommandListInForce(kBundle));
    EXPECT_EQ(rankOf(), 1u);
    vol.write(request_files::commandListPath(kRequestFolder), "not a property list");
    EXPECT_FALSE(removalCommandListInForce(kBundle));
    EXPECT_EQ(rankOf(), 1u);
}

TEST_F(RaterTest, UnusableNamesAndIdentifiersFindNothing) {
    // Folders that a careless join with "", "." or ".." would take for traces.
    vol.mkdir("/Users/Shared/Foo");
    vol.mkdir("/Library/Application Support/x");
    vol.mkdir("/Library/Preferences/y");
    vol.write("/private/var/db/receipts/com.apple.pkg.Core.plist", "");
    vol.mkdir(vol.home() + "/Library/Caches/com.apple.Safari");
    vol.mkdir(vol.home() + "/Library/Preferences/z");
    struct Row {
        const char* name;
        const char* publisher;
    };
    const Row rows[] = {{"", ""},     {".", "N/A"},          {"..", "com"}, {"  ", "com."},
                        {"a/b", "."}, {"N/A", "com.apple."}, {"", "apple"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.name) + " | " + r.publisher);
        EXPECT_EQ(trueProbes("/Applications/Nothing.app", r.name, r.publisher),
                  std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace vendrel
