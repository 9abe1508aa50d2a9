// The catalogue rebuild on real temporary volumes.
#include "app/catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/files.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

using platform::plist::Dictionary;
using test::TempVolume;

Dictionary app(const std::string& name, const std::string& identifier,
               const std::string& version = "1.0") {
    return {{"CFBundleName", name},
            {"CFBundleIdentifier", identifier},
            {"CFBundleShortVersionString", version}};
}

std::vector<std::string> paths(const Catalogue& c) {
    std::vector<std::string> out;
    for (const auto& r : c.apps)
        out.push_back(r->installPath.get());
    return out;
}

std::vector<std::string> names(const Catalogue& c) {
    std::vector<std::string> out;
    for (const auto& r : c.apps)
        out.push_back(r->name.get());
    return out;
}

InstalledAppRef find(const Catalogue& c, const std::string& path) {
    for (const auto& r : c.apps)
        if (r->installPath.get() == path)
            return r;
    return nullptr;
}

// Records what the rebuild tells the malware-list side, in order.
class RecordingHook : public UntrustedAppsHook {
  public:
    void beginRebuild() override { calls.push_back("begin"); }
    void checkApplication(const InstalledApp& record) override {
        calls.push_back(record.installPath.get());
    }
    std::vector<std::string> calls;
};

// The six roots, what lies one level too deep, and what is not a bundle at all:
//   /Applications/A.app                         listed
//   /Applications/Caps.APP                      listed (extension in any case)
//   /Applications/Utilities/Util.app            listed (one level down)
//   /Applications/Vendor/Tools/Deep.app         not listed (two levels down)
//   /Applications/A.app/Helpers/Inner.app       not listed (bundles are not entered)
//   /Applications/readme.txt, /Applications/Folder   not bundles
//   ~/Applications/Mine.app                     listed
//   ~/Applications/Sub/Nested.app               not listed (no sub-folder scan there)
//   ~/Desktop/Desk.app                          listed
//   /Library/PreferencePanes/Pane.prefPane      listed
//   ~/Library/PreferencePanes/Mine.PREFPANE     listed
//   /Library/PreferencePanes/NotAPane.app       not listed (only panes there)
TEST(Catalogue, ScansTheSixRootsToTheRightDepth) {
    TempVolume vol("/Users/tester");
    vol.makeBundle("/Applications/A.app", app("A", "com.a"));
    vol.makeBundle("/Applications/Caps.APP", app("Caps", "com.caps"));
    vol.makeBundle("/Applications/Utilities/Util.app", app("Util", "com.util"));
    vol.makeBundle("/Applications/Vendor/Tools/Deep.app", app("Deep", "com.deep"));
    vol.makeBundle("/Applications/A.app/Helpers/Inner.app", app("Inner", "com.inner"));
    vol.write("/Applications/readme.txt", "hello");
    vol.mkdir("/Applications/Folder");
    vol.makeBundle("/Users/tester/Applications/Mine.app", app("Mine", "com.mine"));
    vol.makeBundle("/Users/tester/Applications/Sub/Nested.app", app("Nested", "com.nested"));
    vol.makeBundle("/Users/tester/Desktop/Desk.app", app("Desk", "com.desk"));
    vol.makeBundle("/Library/PreferencePanes/Pane.prefPane", app("Pane", "com.pane"));
    vol.makeBundle("/Users/tester/Library/PreferencePanes/MinePane.PREFPANE",
                   app("MinePane", "com.minepane"));
    vol.makeBundle("/Library/PreferencePanes/NotAPane.app", app("NotAPane", "com.notapane"));

    Catalogue c;
    c.rebuild(false);
    EXPECT_EQ(paths(c), (std::vector<std::string>{
                            "/Applications/A.app",
                            "/Applications/Caps.APP",
                            "/Users/tester/Desktop/Desk.app",
                            "/Users/tester/Applications/Mine.app",
                            "/Users/tester/Library/PreferencePanes/MinePane.PREFPANE",
                            "/Library/PreferencePanes/Pane.prefPane",
                            "/Applications/Utilities/Util.app",
                        }));
}

TEST(Catalogue, LinksAndAliasesAreNeitherListedNorSearched) {
    TempVolume vol;
    vol.makeBundle("/Applications/Real.app", app("Real", "com.real"));
    vol.makeBundle("/Elsewhere/Hidden.app", app("Hidden", "com.hidden"));
    vol.symlink("Real.app", "/Applications/Link.app");
    vol.symlink("Nowhere.app", "/Applications/Dangling.app");
    vol.symlink("../Elsewhere", "/Applications/Linked Folder");
    vol.symlink("/", "/Applications/Root");  // would scan the host's root if followed
    vol.write("/Applications/Alias.app", std::string("book\0\0\0\0mark\0\0\0\0", 16));
    // A bundle folder holding alias bytes in a file is still a bundle.
    vol.makeBundle("/Applications/Plain.app", app("Plain", "com.plain"));

    Catalogue c;
    c.rebuild(true);
    EXPECT_EQ(paths(c),
              (std::vector<std::string>{"/Applications/Plain.app", "/Applications/Real.app"}));
}

TEST(Catalogue, InfoDictionaryRules) {
    TempVolume vol;
    vol.makeBundle("/Applications/Full.app", app("Full Name", "com.full", "2.5.1"));
    vol.makeBundle("/Applications/Binary.app", app("Binary", "com.binary", "3.0"), /*binary=*/true);
    vol.makeBundle("/Applications/ExecOnly.app", {{"CFBundleExecutable", "execonly"}});
    vol.makeBundle("/Applications/Both.app",
                   {{"CFBundleName", "Shown"}, {"CFBundleExecutable", "notshown"}});
    vol.makeBundle("/Applications/NumberName.app",
                   {{"CFBundleName", int64_t{42}}, {"CFBundleExecutable", "numbered"}});
    vol.mkdir("/Applications/NoInfo.app/Contents");
    vol.write("/Applications/Garbage.app/Contents/Info.plist", "<plist><dict><key>CFBund");
    vol.write("/Applications/Truncated.app/Contents/Info.plist",
              test::binaryPlist(app("Truncated", "com.truncated")).substr(0, 30));
    vol.makeBundle("/Applications/Untrimmed.app", app(" Spaced \n", " com.spaced ", " 1.0 "));

    Catalogue c;
    c.rebuild(false);
    struct Row {
        const char* path;
        const char* name;
        const char* publisher;
        const char* version;
    };
    const Row rows[] = {
        {"/Applications/Full.app", "Full Name", "com.full", "2.5.1"},
        {"/Applications/Binary.app", "Binary", "com.binary", "3.0"},
        {"/Applications/ExecOnly.app", "execonly", "N/A", "N/A"},
        {"/Applications/Both.app", "Shown", "N/A", "N/A"},
        {"/Applications/NumberName.app", "numbered", "N/A", "N/A"},
        {"/Applications/NoInfo.app", "N/A", "N/A", "N/A"},
        {"/Applications/Garbage.app", "N/A", "N/A", "N/A"},
        {"/Applications/Truncated.app", "N/A", "N/A", "N/A"},
        {"/Applications/Untrimmed.app", " Spaced \n", " com.spaced ", " 1.0 "},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        auto record = find(c, r.path);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->name.get(), r.name);
        EXPECT_EQ(record->bundleId.get(), r.publisher);
        EXPECT_EQ(record->version.get(), r.version);
        // Measures stay unfilled until an analysis.
        EXPECT_EQ(record->sizeText.get(), "N/A");
        EXPECT_EQ(record->folderCount.get(), "N/A");
        EXPECT_EQ(record->fileCount.get(), "N/A");
    }
}

TEST(Catalogue, InstallDateIsTheBundleFoldersModificationDate) {
    TempVolume vol;
    vol.makeBundle("/Applications/Dated.app", app("Dated", "com.dated"));
    const auto when = std::chrono::system_clock::from_time_t(1600000000);
    std::filesystem::last_write_time(vol.host("/Applications/Dated.app"),
                                     std::filesystem::file_time_type::clock::from_sys(when));
    Catalogue c;
    c.rebuild(false);
    ASSERT_EQ(c.apps.size(), 1u);
    EXPECT_EQ(c.apps[0]->installDate.get(), files::dateText(when));
}

TEST(Catalogue, AppleApplicationsAndPanesShowOnlyWhenAsked) {
    TempVolume vol;
    vol.makeBundle("/Applications/Safari.app", app("Safari", "com.apple.Safari"));
    vol.makeBundle("/Applications/Shouty.app", app("Shouty", "COM.APPLE.shouty"));
    vol.makeBundle("/Applications/Inside.app", app("Inside", "org.mirror.com.apple.tool"));
    vol.makeBundle("/Applications/Sauce.app", app("Sauce", "com.applesauce.app"));
    vol.makeBundle("/Applications/Bare.app", app("Bare", "com.apple"));
    vol.makeBundle("/Library/PreferencePanes/Tuner.prefPane",
                   app("Tuner", "com.apple.preference.tuner"));
    vol.makeBundle("/Library/PreferencePanes/Other.prefPane", app("Other", "com.other.pane"));

    Catalogue c;
    c.rebuild(false);
    EXPECT_EQ(names(c), (std::vector<std::string>{"Bare", "Other", "Sauce"}));
    c.rebuild(true);
    EXPECT_EQ(names(c), (std::vector<std::string>{"Bare", "Inside", "Other", "Safari", "Sauce",
                                                  "Shouty", "Tuner"}));
}

TEST(Catalogue, NeverShownTable) {
    struct Row {
        const char* path;
        const char* name;
        const char* publisher;
        bool hidden;
    };
    const Row rows[] = {
        {"/Applications/V.app", "Vendrel", "com.Vendrel.Ostrand", true},
        {"/Applications/V.app", "Vendrel", "COM.vendrel.OSTRAND", true},
        {"/Applications/V.app", "Helper", "com.Vendrel.Ostrand.Helper",
         false},                                                            // equals, not contains
        {"/Applications/D.app", "Diag", "com.comodo.diagnostics.x", true},  // contains
        {"/Applications/S.app", "Updater", "com.COMODO.Software-Update.2", false},
        {"/Applications/L.app", "layout", "com.sketch.layout", true},
        {"/Applications/L.app", "LayOut 2", "com.sketch.layout", false},
        {"/Applications/T.app", "SupportTool", "x", true},
        {"/Applications/Wacom Tablet.localized/Wacom Desktop Center.app", "Center", "w", true},
        {"/Applications/wacom tablet.localized/wacom desktop center.app", "Center", "w", true},
        {"/Applications/U.app", "Uninstall", "u", true},
        {"/Applications/U.app", "Uninstall Foo", "u", false},
        {"/Applications/I.app", "Foo Installer", "i", true},
        {"/Applications/I.app", "UNINSTALLER for Bar", "i", true},
        {"/Applications/I.app", "reinstallerx", "i", true},
        {"/Applications/I.app", "Install Foo", "i", false},
        {"/Applications/I.app", "Instal ler", "i", false},
        {"/Applications/N.app", "N/A", "N/A", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.name) + " / " + r.publisher + " / " + r.path);
        EXPECT_EQ(Catalogue::isNeverShown(r.path, r.name, r.publisher), r.hidden);
    }
}

TEST(Catalogue, HiddenApplicationsStayHiddenButPanesDoNot) {
    TempVolume vol;
    vol.makeBundle("/Applications/Setup.app", app("Foo Installer", "com.foo.setup"));
    vol.makeBundle("/Applications/Install Foo.app", app("Install Foo", "com.foo.install"));
    vol.makeBundle("/Library/PreferencePanes/Pane.prefPane", app("Foo Installer", "com.foo.pane"));
    Catalogue c;
    c.rebuild(true);
    EXPECT_EQ(paths(c), (std::vector<std::string>{"/Library/PreferencePanes/Pane.prefPane",
                                                  "/Applications/Install Foo.app"}));
}

TEST(Catalogue, SortIsCaseSensitiveStableAndKeepsDuplicates) {
    TempVolume vol;
    vol.makeBundle("/Applications/iMovie.app", app("iMovie", "com.imovie"));
    vol.makeBundle("/Applications/Zoom.app", app("Zoom", "com.zoom"));
    vol.makeBundle("/Applications/abc.app", app("abc", "com.abc.lower"));
    vol.makeBundle("/Applications/Abc.app", app("Abc", "com.abc.upper"));
    vol.makeBundle("/Applications/Émile.app", app("Émile", "com.emile"));
    // The same application in two scanned folders: two records, /Applications first.
    vol.makeBundle("/Applications/Dup.app", app("Dup", "com.dup", "1"));
    vol.makeBundle("/Users/tester/Desktop/Dup.app", app("Dup", "com.dup", "2"));

    Catalogue c;
    c.rebuild(false);
    EXPECT_EQ(names(c),
              (std::vector<std::string>{"Abc", "Dup", "Dup", "Zoom", "abc", "iMovie", "Émile"}));
    EXPECT_EQ(c.apps[1]->version.get(), "1");
    EXPECT_EQ(c.apps[2]->version.get(), "2");
}

TEST(Catalogue, HostileBundleNamesGiveExactRecords) {
    const char* entries[] = {"it's \"quoted\".app", "new\nline.app",      "..app", "-rf.app",
                             "名前 ünïcødé.app",    "$(touch pwned).app", " .app"};
    TempVolume vol;
    for (const char* e : entries) {
        const std::string path = std::string("/Applications/") + e;
        vol.makeBundle(path, app(std::string("Name of ") + e, "com.x"));
    }
    vol.makeBundle("/Applications/Dots.app", app("..", "../../.."));
    Catalogue c;
    c.rebuild(false);
    for (const char* e : entries) {
        SCOPED_TRACE(e);
        auto record = find(c, std::string("/Applications/") + e);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->name.get(), std::string("Name of ") + e);
    }
    auto dots = find(c, "/Applications/Dots.app");
    ASSERT_TRUE(dots);
    EXPECT_EQ(dots->name.get(), "..");
    EXPECT_FALSE(vol.exists("/Applications/pwned"));
}

TEST(Catalogue, IconLookup) {
    struct Row {
        const char* bundle;
        std::optional<std::string> iconFile;  // CFBundleIconFile
        std::vector<std::string> resources;   // files in Contents/Resources
        std::optional<std::string> large;     // expected resource name, or none
        std::string workspace;                // expected resource name, or "" for the generic
    };
    const Row rows[] = {
        {"WithExt", "App.icns", {"App.icns"}, "App.icns", "App.icns"},
        // Without an extension only a file of exactly that name is the large icon; the
        // workspace still finds the .icns file.
        {"NoExt", "App", {"App.icns"}, std::nullopt, "App.icns"},
        {"NoExtExact", "App", {"App"}, "App", "App"},
        {"Missing", "App.icns", {}, std::nullopt, ""},
        {"NoKey", std::nullopt, {"App.icns"}, std::nullopt, ""},
        {"Escape", "../../../../etc/passwd", {}, std::nullopt, ""},
        {"Dots", "..", {}, std::nullopt, ""},
        {"Png", "icon.png", {"icon.png"}, "icon.png", "icon.png"},
    };
    TempVolume vol;
    vol.write("/etc/passwd", "root:x:0:0");
    for (const Row& r : rows) {
        const std::string bundle = std::string("/Applications/") + r.bundle + ".app";
        Dictionary info = app(r.bundle, std::string("com.") + r.bundle);
        if (r.iconFile)
            info["CFBundleIconFile"] = *r.iconFile;
        vol.makeBundle(bundle, info);
        for (const auto& f : r.resources)
            vol.write(bundle + "/Contents/Resources/" + f, "icns");
    }
    Catalogue c;
    c.rebuild(false);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.bundle);
        const std::string bundle = std::string("/Applications/") + r.bundle + ".app";
        auto record = find(c, bundle);
        ASSERT_TRUE(record);
        auto large = record->largeIcon.get();
        if (r.large) {
            ASSERT_TRUE(large);
            EXPECT_EQ(large->path, bundle + "/Contents/Resources/" + *r.large);
        } else {
            EXPECT_FALSE(large) << large->path;
        }
        auto icon = record->icon.get();
        ASSERT_TRUE(icon);  // always present
        EXPECT_EQ(icon->path, r.workspace.empty() ? std::string(Catalogue::kGenericApplicationIcon)
                                                  : bundle + "/Contents/Resources/" + r.workspace);
    }
}

TEST(Catalogue, MalwareHookSeesEveryApplicationButNoPane) {
    TempVolume vol;
    vol.makeBundle("/Applications/B.app", app("B", "com.b"));
    vol.makeBundle("/Applications/Apple.app", app("Apple", "com.apple.thing"));
    vol.makeBundle("/Applications/Setup.app", app("Setup Installer", "com.setup"));
    vol.makeBundle("/Users/tester/Desktop/B.app", app("B", "com.b"));
    vol.makeBundle("/Library/PreferencePanes/P.prefPane", app("P", "com.p"));
    RecordingHook hook;
    Catalogue c(&hook);
    c.rebuild(false);
    ASSERT_FALSE(hook.calls.empty());
    EXPECT_EQ(hook.calls.front(), "begin");
    std::vector<std::string> checked(hook.calls.begin() + 1, hook.calls.end());
    std::sort(checked.begin(), checked.end());
    EXPECT_EQ(checked,
              (std::vector<std::string>{"/Applications/Apple.app", "/Applications/B.app",
                                        "/Applications/Setup.app", "/Users/tester/Desktop/B.app"}));
    // A second rebuild starts afresh.
    hook.calls.clear();
    c.rebuild(false);
    EXPECT_EQ(hook.calls.front(), "begin");
    EXPECT_EQ(c.apps.size(), 3u);
}

TEST(Catalogue, AnEmptyVolumeGivesAnEmptyCatalogueAndSelectionFollowsTheList) {
    TempVolume vol;
    Catalogue c;
    c.rebuild(true);
    EXPECT_TRUE(c.apps.empty());
    c.select(0);
    EXPECT_FALSE(c.selected);

    vol.makeBundle("/Applications/A.app", app("A", "com.a"));
    vol.makeBundle("/Applications/B.app", app("B", "com.b"));
    c.rebuild(true);
    c.select(1);
    ASSERT_TRUE(c.selected);
    EXPECT_EQ(c.selected->name.get(), "B");
    EXPECT_EQ(c.selectedIndex, 1u);
    c.clearSelection();
    EXPECT_FALSE(c.selected);
}

}  // namespace
}  // namespace vendrel
