#include "app/catalogue/catalogue.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "common/files.h"
#include "common/guard.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/strings.h"
#include "platform/system.h"

namespace vendrel {
namespace {
namespace fs = platform::fs;
namespace plist = platform::plist;

// ---- The never-shown applications ----

enum class Field { InstallPath, Name, Publisher };
enum class Test { Equals, Contains };
struct NoShowRow {
    Field field;
    Test test;
    std::string_view value;
};

// Checked in order; the first row that holds hides the application.
constexpr std::array<NoShowRow, 25> kNoShow{{
    {Field::Publisher, Test::Equals, "com.Vendrel.Ostrand"},
    {Field::Publisher, Test::Contains, "com.COMODO.Diagno"},
    {Field::Publisher, Test::Contains, "com.COMODO.Scan-Items"},
    {Field::Publisher, Test::Equals, "com.COMODO.Software-Update"},
    {Field::Publisher, Test::Contains, "com.COMODO.Uninstall"},
    {Field::Publisher, Test::Equals, "com.COMODO.View-Logs"},
    {Field::Publisher, Test::Equals, "com.razerzone.synapse.uninstaller"},
    {Field::Name, Test::Equals, "Remove Sophos Anti-Virus"},
    {Field::Name, Test::Equals, "LayOut"},
    {Field::Name, Test::Equals, "Style Builder"},
    {Field::Publisher, Test::Equals, "com.samsung.Uninstall"},
    {Field::Publisher, Test::Equals, "com.sony.SonyCreativeSoftware.Convrt"},
    {Field::Name, Test::Equals, "TechTool Protection"},
    {Field::Name, Test::Equals, "SupportTool"},
    {Field::Name, Test::Equals, "UninstallerLauncher"},
    {Field::Publisher, Test::Equals, "logitech.Unifying-Installer"},
    {Field::Name, Test::Equals, "Movavi Sound Grabber Uninstaller"},
    {Field::InstallPath, Test::Contains, "Wacom Tablet.localized/Android File Transfer"},
    {Field::InstallPath, Test::Contains, "Wacom Tablet.localized/Wacom Desktop Center"},
    {Field::InstallPath, Test::Contains, "Wacom Tablet.localized/Wacom Display Settings"},
    {Field::Name, Test::Equals, "EPSON Scan Settings"},
    {Field::Name, Test::Equals, "Uninstall K9 Web Protection"},
    {Field::Name, Test::Equals, "Uninstaller"},
    {Field::Name, Test::Equals, "Uninstall"},
    // Every installer and uninstaller, in any case; "Install" alone is not caught.
    {Field::Name, Test::Contains, "Installer"},
}};

// ---- Reading one bundle ----

// The only Info.plist keys the catalogue reads; the rest of each list is checked but never
// converted, since every listing reads the Info.plist of every bundle.
enum class InfoKey { IconFile, Name, Executable, Identifier, Version };
constexpr std::array<std::string_view, 5> kInfoKeys{"CFBundleIconFile", "CFBundleName",
                                                    "CFBundleExecutable", "CFBundleIdentifier",
                                                    "CFBundleShortVersionString"};

// An existing item that is not a folder, following a final link. One lstat in the common case:
// the catalogue looks up an icon for every bundle it lists.
bool isExistingFile(const std::string& path) {
    auto attributes = fs::attributesOfItem(path);
    if (!attributes)
        return false;
    if (attributes->type == fs::FileType::SymbolicLink)
        return fs::fileExists(path) && !fs::isDirectory(path);
    return attributes->type != fs::FileType::Directory;
}

// pathForResource:ofType: for a resource file named `fileName` (name and extension joined
// as the bundle would join them), in the bundle's Resources folder. Icons are not localised,
// so the language folders are not searched: each miss there would cost a file-system lookup
// for every bundle listed. The name comes from the bundle's Info.plist and is untrusted: one
// that would leave the Resources folder is never looked up.
std::optional<std::string> resourcePath(const std::string& bundle, const std::string& fileName) {
    if (!guard::isUsableName(fileName))
        return std::nullopt;
    std::string path = bundle + "/Contents/Resources/" + fileName;
    if (isExistingFile(path))
        return path;
    return std::nullopt;
}

// The large icon: the resource named by "CFBundleIconFile", split into name and extension.
// A value without an extension finds only a file of exactly that name ("Foo" does not find
// "Foo.icns").
std::optional<std::string> largeIconPath(const std::string& bundle, const std::string& iconFile) {
    std::string name = platform::deletingPathExtension(iconFile);
    std::string type = platform::pathExtension(iconFile);
    return resourcePath(bundle, type.empty() ? name : name + "." + type);
}

// The icon the workspace shows for a bundle, given the large icon already looked up. Unlike
// the strict resource lookup, the workspace also accepts an icon file named without its
// ".icns" extension.
std::string workspaceIconPath(const std::string& bundle, const std::string* iconFile,
                              const std::optional<std::string>& largeIcon) {
    if (largeIcon)
        return *largeIcon;
    if (iconFile && platform::pathExtension(*iconFile).empty()) {
        if (auto path = resourcePath(bundle, *iconFile + ".icns"))
            return *path;
    }
    return Catalogue::kGenericApplicationIcon;
}

// files::isLinkOrAlias on attributes already read: a folder never holds alias data,
// so only a link or a plain file costs more than the one lstat.
bool isLinkOrAlias(const std::string& path, const std::optional<fs::Attributes>& attributes) {
    if (!attributes)
        return false;
    if (attributes->type == fs::FileType::SymbolicLink)
        return true;
    return attributes->type != fs::FileType::Directory && platform::isAliasFile(path);
}

bool matches(Test test, std::string_view value, std::string_view wanted) {
    return test == Test::Equals ? platform::equals65(value, wanted)
                                : platform::containsCaseInsensitive(value, wanted);
}

}  // namespace

bool Catalogue::isNeverShown(const std::string& installPath, const std::string& appName,
                             const std::string& bundleId) {
    return std::any_of(kNoShow.begin(), kNoShow.end(), [&](const NoShowRow& row) {
        const std::string& value = row.field == Field::InstallPath ? installPath
                                   : row.field == Field::Name      ? appName
                                                                   : bundleId;
        return matches(row.test, value, row.value);
    });
}

void Catalogue::rebuild(bool showApple) {
    if (untrustedApps_)
        untrustedApps_->beginRebuild();
    apps.clear();

    const std::string home = platform::homeDirectory();
    addApps("/Applications/", showApple);
    addAppsInSubfolders("/Applications/", showApple);
    addApps(platform::appendPathComponent(home, "/Applications/"), showApple);
    addApps(platform::desktopDirectory(), showApple);
    addPreferencePanes("/Library/PreferencePanes/", showApple);
    addPreferencePanes(platform::appendPathComponent(home, "/Library/PreferencePanes/"), showApple);

    // The selected record is left alone: the list view drops its own selection, and the
    // callers that must forget the record (the show-Apple toggle) do so themselves.
    // Stable, so records with equal names keep their scan order. The names are read once:
    // each read of a record's field copies it under its lock.
    std::vector<std::pair<std::string, InstalledAppRef>> byName;
    byName.reserve(apps.size());
    for (auto& record : apps)
        byName.emplace_back(record->name.get(), std::move(record));
    std::stable_sort(byName.begin(), byName.end(), [](const auto& a, const auto& b) {
        return platform::compareLiteral(a.first, b.first) < 0;
    });
    apps.clear();
    for (auto& entry : byName)
        apps.push_back(std::move(entry.second));
}

void Catalogue::addApps(const std::string& rootPath, bool showApple) {
    scanFolder(rootPath, showApple, BundleKind::Application);
}

void Catalogue::addPreferencePanes(const std::string& rootPath, bool showApple) {
    scanFolder(rootPath, showApple, BundleKind::PreferencePane);
}

void Catalogue::addAppsInSubfolders(const std::string& rootPath, bool showApple) {
    for (const auto& entry : fs::contentsOfDirectory(rootPath)) {
        if (platform::equals65(platform::pathExtension(entry), "app"))
            continue;
        std::string path = platform::appendPathComponent(rootPath, entry);
        // A linked folder is not searched: it may lead anywhere, the volume's root included.
        if (files::isLinkOrAlias(path))
            continue;
        // A plain file lists nothing, so it adds nothing.
        addApps(path, showApple);
    }
}

void Catalogue::scanFolder(const std::string& rootPath, bool showApple, BundleKind kind) {
    const std::string_view extension = kind == BundleKind::Application ? "app" : "PrefPane";
    for (const auto& entry : fs::contentsOfDirectory(rootPath)) {
        if (!platform::equals65(platform::pathExtension(entry), extension))
            continue;
        std::string path = platform::appendPathComponent(rootPath, entry);
        // One lstat serves the link-or-alias test and the install date.
        const auto attributes = fs::attributesOfItem(path);
        if (isLinkOrAlias(path, attributes))
            continue;

        auto record = std::make_shared<InstalledApp>();
        // A bundle without a readable Info.plist still gives a record; every key is missing.
        // Values of another type than string count as missing.
        const auto info = plist::readStringsForKeys(path + "/Contents/Info.plist", kInfoKeys)
                              .value_or(plist::KeyStrings(kInfoKeys.size()));
        auto key = [&info](InfoKey which) -> const std::string* {
            const auto& value = info[static_cast<size_t>(which)];
            return value ? &*value : nullptr;
        };

        record->installPath.set(path);
        if (attributes)
            record->installDate.set(files::dateText(attributes->modificationDate));
        else
            record->installDate.set(std::nullopt);

        const std::string* iconFile = key(InfoKey::IconFile);
        std::optional<std::string> largeIcon;
        if (iconFile)
            largeIcon = largeIconPath(path, *iconFile);
        record->icon.set(Image{workspaceIconPath(path, iconFile, largeIcon)});
        if (largeIcon)
            record->largeIcon.set(Image{*largeIcon});

        if (auto name = key(InfoKey::Name))
            record->name.set(*name);
        else if (auto executable = key(InfoKey::Executable))
            record->name.set(*executable);
        if (auto identifier = key(InfoKey::Identifier))
            record->bundleId.set(*identifier);
        const bool apple =
            !showApple && platform::containsCaseInsensitive(record->bundleId.get(), "com.apple.");
        if (auto version = key(InfoKey::Version))
            record->version.set(*version);

        const bool hidden = kind == BundleKind::Application &&
                            isNeverShown(path, record->name.get(), record->bundleId.get());
        if (!hidden && !apple)
            apps.push_back(record);
        // Hidden and Apple's applications are compared with the malware list too; panes never.
        if (kind == BundleKind::Application && untrustedApps_)
            untrustedApps_->checkApplication(*record);
    }
}

void Catalogue::select(size_t index) {
    if (index >= apps.size())
        return;
    selected = apps[index];
    selectedIndex = index;
}

void Catalogue::clearSelection() {
    selected.reset();
    selectedIndex = 0;
}

}  // namespace vendrel
