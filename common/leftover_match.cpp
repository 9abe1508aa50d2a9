#include "common/leftover_match.h"

#include <algorithm>
#include <array>

#include "common/files.h"
#include "common/guard.h"
#include "common/journal.h"
#include "common/sweep_support.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/strings.h"

namespace vendrel::leftovers {
namespace {

bool isWordByte(unsigned char c) {
    // Bytes of a multi-byte character count as letters: a name never splits one.
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
}

bool isTeamIdentifier(std::string_view part) {
    return part.size() == 10 && std::all_of(part.begin(), part.end(), [](char c) {
               return isWordByte(static_cast<unsigned char>(c)) &&
                      static_cast<unsigned char>(c) < 0x80;
           });
}

// What may stand before an identifier in a container's name: a team identifier, "group",
// or both ("ABCDE12345.group").
bool isTeamOrGroupPrefix(std::string_view prefix) {
    int parts = 0;
    while (!prefix.empty()) {
        const auto dot = prefix.find('.');
        const auto part = prefix.substr(0, dot);
        if (part != "group" && !isTeamIdentifier(part))
            return false;
        if (++parts > 2)
            return false;
        if (dot == std::string_view::npos)
            break;
        prefix.remove_prefix(dot + 1);
        if (prefix.empty())
            return false;
    }
    return parts > 0;
}

std::string trimmedFragment(std::string_view s) {
    std::string t = platform::trimWhitespaceAndNewlines(s);
    return t;
}

// Words every product uses for a folder; as a display name they name no product.
constexpr std::array kGenericNames = {"app",          "application",  "applications",
                                      "helper",       "agent",        "daemon",
                                      "updater",      "update",       "support",
                                      "library",      "data",         "cache",
                                      "caches",       "logs",         "log",
                                      "tools",        "utilities",    "preferences",
                                      "settings",     "launcher",     "installer",
                                      "uninstaller",  "setup",        "service",
                                      "services",     "plugin",       "plugins",
                                      "extension",    "extensions",   "framework",
                                      "frameworks",   "shared",       "common",
                                      "temp",         "tmp",          "default",
                                      "unknown",      "untitled",     "n/a",
                                      "apple",        "google",       "microsoft",
                                      "adobe",        "documents",    "desktop",
                                      "downloads",    "users",        "user",
                                      "system",       "containers",   "group containers",
                                      "launchagents", "launchdaemons"};

// How specifically `entry` belongs to `app`: the length of its identifier or name that
// matches, 0 when none does.
size_t strength(const AppIdentity& app, std::string_view entry) {
    size_t best = 0;
    if (!app.identifier.empty() && identifierMatches(entry, app.identifier))
        best = app.identifier.size();
    for (const auto& name : app.names)
        if (name.size() > best && nameMatches(entry, name))
            best = name.size();
    return best;
}

thread_local std::shared_ptr<const Ownership> t_ownership;

void addBundles(std::vector<AppIdentity>& out, const std::string& folder,
                std::string_view extension) {
    for (const auto& entry : platform::fs::contentsOfDirectory(folder)) {
        if (!platform::equals65(platform::pathExtension(entry), extension))
            continue;
        const std::string path = platform::appendPathComponent(folder, entry);
        if (files::isLinkOrAlias(path))
            continue;
        out.push_back(identityOf(path));
    }
}

}  // namespace

bool identifierMatches(std::string_view entry, std::string_view identifier) {
    const std::string id = platform::lowercaseString(trimmedFragment(identifier));
    if (id.empty() || !isSpecificIdentifier(id))
        return false;
    const std::string e = platform::lowercaseString(entry);
    for (size_t pos = e.find(id); pos != std::string::npos; pos = e.find(id, pos + 1)) {
        const size_t end = pos + id.size();
        if (end != e.size() && e[end] != '.')
            continue;
        if (pos == 0)
            return true;
        if (e[pos - 1] != '.')
            continue;
        // "<anything>.com.foo" ends in it; a continuation ("....com.foo.shared") only after a
        // team or group prefix, so "net.other.com.foo.x" stays another product's.
        if (end == e.size() || isTeamOrGroupPrefix(std::string_view(e).substr(0, pos - 1)))
            return true;
    }
    return false;
}

bool nameMatches(std::string_view entry, std::string_view name) {
    if (!isSpecificName(name))
        return false;
    const std::string e = platform::lowercaseString(entry);
    const std::string n = platform::lowercaseString(trimmedFragment(name));
    if (e == n)
        return true;
    // "Foo.log", "Foo.plist": the name with an extension, never "Foo.Tools Data" or "Foo2".
    if (e.size() <= n.size() + 1 || e.compare(0, n.size(), n) != 0 || e[n.size()] != '.')
        return false;
    const std::string_view extension = std::string_view(e).substr(n.size() + 1);
    return extension.size() <= 16 && extension.find_first_of(" ./") == std::string_view::npos;
}

bool fragmentMatches(std::string_view entry, std::string_view fragment) {
    if (!sweep::isUsableFragment(fragment))
        return false;
    const std::string f = platform::lowercaseString(trimmedFragment(fragment));
    if (f.find('.') != std::string::npos) {
        // A file name with an extension ("AirParrotDriver.kext") is matched whole.
        if (platform::lowercaseString(entry) == f)
            return true;
        return identifierMatches(entry, f);
    }
    if (f.size() < 3)
        return false;
    const std::string e = platform::lowercaseString(entry);
    for (size_t pos = e.find(f); pos != std::string::npos; pos = e.find(f, pos + 1)) {
        const size_t end = pos + f.size();
        const bool before = pos == 0 || !isWordByte(static_cast<unsigned char>(e[pos - 1]));
        const bool after = end == e.size() || !isWordByte(static_cast<unsigned char>(e[end]));
        if (before && after)
            return true;
    }
    return false;
}

bool programLiesIn(std::string_view program, std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    if (!sweep::isSpecificProgramPath(folder))
        return false;
    const std::string p = platform::lowercaseString(program);
    const std::string f = platform::lowercaseString(folder) + "/";
    return p.size() > f.size() && p.compare(0, f.size(), f) == 0;
}

bool isSpecificName(std::string_view name) {
    if (!guard::isUsableName(name))
        return false;
    const std::string t = platform::trimWhitespaceAndNewlines(name);
    if (platform::utf16Length(t) < 3)
        return false;
    const std::string lower = platform::lowercaseString(t);
    return std::find(kGenericNames.begin(), kGenericNames.end(), lower) == kGenericNames.end();
}

bool isSpecificIdentifier(std::string_view identifier) {
    if (!guard::isUsableIdentifier(identifier))
        return false;
    // What follows the first component must say more than a letter, and the whole more than
    // a few: "com.a" and "io.s.s" name nothing; "notion.id", "com.sublimetext.4" and
    // "md.obsidian" do.
    std::string t = platform::trimWhitespaceAndNewlines(identifier);
    const auto dot = t.find('.');
    size_t after = 0;
    for (size_t i = dot + 1; i < t.size(); ++i)
        after += t[i] == '.' ? 0 : 1;
    return after >= 2 && dot + after >= 6;
}

AppIdentity identityOf(const std::string& bundlePath, const std::string& fallbackName,
                       const std::string& fallbackIdentifier) {
    AppIdentity app;
    app.bundlePath = bundlePath;
    std::string name = fallbackName;
    std::string identifier = fallbackIdentifier;
    if (auto info = platform::plist::readDictionary(bundlePath + "/Contents/Info.plist")) {
        if (const auto* id = platform::plist::stringForKey(*info, "CFBundleIdentifier"))
            identifier = *id;
        if (const auto* n = platform::plist::stringForKey(*info, "CFBundleName"))
            name = *n;
        else if (const auto* executable =
                     platform::plist::stringForKey(*info, "CFBundleExecutable"))
            name = *executable;
    }
    identifier = platform::trimWhitespace(identifier);
    if (isSpecificIdentifier(identifier))
        app.identifier = identifier;
    auto addName = [&app](std::string n) {
        n = platform::trimWhitespace(n);
        if (!isSpecificName(n))
            return;
        for (const auto& known : app.names)
            if (platform::lowercaseString(known) == platform::lowercaseString(n))
                return;
        app.names.push_back(std::move(n));
    };
    addName(name);
    addName(platform::deletingPathExtension(platform::lastPathComponent(bundlePath)));
    return app;
}

std::vector<AppIdentity> installedApplications() {
    std::vector<AppIdentity> apps;
    const std::string applications = "/Applications";
    addBundles(apps, applications, "app");
    for (const auto& entry : platform::fs::contentsOfDirectory(applications)) {
        if (platform::equals65(platform::pathExtension(entry), "app"))
            continue;
        const std::string path = platform::appendPathComponent(applications, entry);
        if (!files::isLinkOrAlias(path) && platform::fs::isDirectory(path))
            addBundles(apps, path, "app");
    }
    if (auto home = sweep::homeJoin("/Applications"))
        addBundles(apps, *home, "app");
    addBundles(apps, "/Library/PreferencePanes", "prefPane");
    if (auto home = sweep::homeJoin("/Library/PreferencePanes"))
        addBundles(apps, *home, "prefPane");
    return apps;
}

Ownership::Ownership(AppIdentity removed, std::vector<AppIdentity> others)
    : removed_(std::move(removed)), others_(std::move(others)) {
    std::erase_if(others_, [this](const AppIdentity& other) {
        return platform::standardizePath(other.bundlePath) ==
               platform::standardizePath(removed_.bundlePath);
    });
}

std::shared_ptr<const Ownership> Ownership::forRemoval(const std::string& installPath,
                                                       const std::string& name,
                                                       const std::string& identifier) {
    // The bundle may already be in a Trash: its identity then comes from the record.
    AppIdentity removed = identityOf(installPath, name, identifier);
    if (removed.identifier.empty() && isSpecificIdentifier(platform::trimWhitespace(identifier)))
        removed.identifier = platform::trimWhitespace(identifier);
    return std::make_shared<Ownership>(std::move(removed), installedApplications());
}

const AppIdentity* Ownership::claimant(std::string_view entryName,
                                       std::string_view matchedOn) const {
    const size_t own = std::max(trimmedFragment(matchedOn).size(), strength(removed_, entryName));
    const AppIdentity* best = nullptr;
    size_t bestStrength = own;
    for (const auto& other : others_) {
        const size_t s = strength(other, entryName);
        if (s > bestStrength) {
            best = &other;
            bestStrength = s;
        }
    }
    return best;
}

const AppIdentity* Ownership::holderInside(const std::string& path) const {
    const std::string last = platform::lastPathComponent(path);
    if (const auto* other = claimant(last, {}))
        return other;
    if (!platform::fs::isDirectory(path) || platform::fs::isSymbolicLink(path))
        return nullptr;
    for (const auto& entry : platform::fs::contentsOfDirectory(path)) {
        const size_t own = strength(removed_, entry);
        for (const auto& other : others_) {
            if (strength(other, entry) > own)
                return &other;
        }
    }
    return nullptr;
}

OwnershipScope::OwnershipScope(std::shared_ptr<const Ownership> ownership)
    : previous_(std::move(t_ownership)) {
    t_ownership = std::move(ownership);
}

OwnershipScope::~OwnershipScope() {
    t_ownership = std::move(previous_);
}

const Ownership* currentOwnership() {
    return t_ownership.get();
}

bool belongsToRemoval(const std::string& entryPath, std::string_view fragment) {
    const std::string name = platform::lastPathComponent(entryPath);
    if (!fragmentMatches(name, fragment))
        return false;
    if (const auto* ownership = currentOwnership()) {
        if (const auto* other = ownership->claimant(name, fragment)) {
            journalRecord(JournalAction::Skipped, entryPath,
                          "belongs to the installed application " + other->bundlePath);
            return false;
        }
    }
    return true;
}

}  // namespace vendrel::leftovers
