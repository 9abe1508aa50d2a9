#include "common/guard.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/strings.h"

namespace vendrel::guard {
namespace {

std::mutex confinementLock;
std::optional<std::vector<std::string>> confinement;

// Under a confinement, what lies outside every allowed folder (component by component,
// ignoring case as a volume's file system does).
std::optional<std::string> confinementRefusal(const std::vector<std::string>& components) {
    std::lock_guard lock(confinementLock);
    if (!confinement)
        return std::nullopt;
    for (const auto& folder : *confinement) {
        const auto f = platform::pathComponents(folder);
        if (f.size() < 3 || components.size() < f.size())
            continue;
        bool inside = true;
        for (size_t i = 0; i < f.size() && inside; ++i)
            inside = components[i].size() == f[i].size() &&
                     platform::compareOptions65(components[i], f[i]) == 0;
        if (inside)
            return std::nullopt;
    }
    return "outside what the requesting user may remove (an administrator may)";
}

using platform::equals65;

// Folders that a Library folder ("/Library", "/System/Library", "<home>/Library") holds
// for everyone: removing one of them removes every program's data.
constexpr std::array kLibraryChildren = {
    "Application Scripts",
    "Application Support",
    "Audio",
    "Caches",
    "ColorSync",
    "Components",
    "Containers",
    "Cookies",
    "CoreServices",
    "Extensions",
    "Filesystems",
    "Fonts",
    "Frameworks",
    "Group Containers",
    "Input Methods",
    "Internet Plug-Ins",
    "Keychains",
    "LaunchAgents",
    "LaunchDaemons",
    "Logs",
    "Mail",
    "PreferencePanes",
    "Preferences",
    "Printers",
    "PrivilegedHelperTools",
    "QuickLook",
    "Receipts",
    "Saved Application State",
    "Screen Savers",
    "ScriptingAdditions",
    "Scripts",
    "Security",
    "Services",
    "Spotlight",
    "StartupItems",
    "WebKit",
    "Widgets",
    "Sounds",
    "Documentation",
    "Developer",
    "Google",
    "HTTPStorages",
    "Safari",
    "Messages",
    "Calendars",
    "Accounts",
    "Assistants",
    "Autosave Information",
    "Favorites",
    "Metadata",
    "Passes",
    "Staging",
    "SecurityAgentPlugins",
    "Updates",
    "Modem Scripts",
    "Contextual Menu Items",
    "Image Capture",
    "Java",
    "Keyboard Layouts",
    "User Pictures",
    "Desktop Pictures",
    "Address Book Plug-Ins",
    "Bundles",
    "Graphics",
    "OpenDirectory",
    "Perl",
    "Python",
    "Ruby",
    "Sandbox",
    "SystemProfiler",
    "Managed Preferences",
    "Apple",
    "DirectoryServices",
    "Extensions.kextcache",
    "Receipts",
    "Dictionaries",
};

// Standard folders of a home folder.
constexpr std::array kHomeChildren = {
    "Library",  "Documents", "Desktop",      "Downloads", "Movies", "Music",
    "Pictures", "Public",    "Applications", "Sites",     ".Trash",
};

// Deeper system folders that hold many programs' data.
constexpr std::array kProtectedPaths = {
    "/private/var/root",
    "/private/var/db",
    "/private/var/db/receipts",
    "/private/var/db/dslocal",
    "/private/var/folders",
    "/private/var/folders/vd",
    "/private/var/run",
    "/private/var/log",
    "/private/var/tmp",
    "/private/etc",
    "/private/tmp",
    "/usr/local",
    "/usr/local/bin",
    "/usr/local/sbin",
    "/usr/local/lib",
    "/usr/local/include",
    "/usr/local/share",
    "/usr/local/share/doc",
    "/usr/local/share/man",
    "/usr/local/share/man/man1",
    "/usr/local/share/man/man8",
    "/usr/local/etc",
    "/usr/local/opt",
    "/usr/local/Cellar",
    "/usr/local/pkgconfig",
    "/usr/local/lib/pkgconfig",
    "/Applications/Utilities",
    "/System/Applications",
    "/System/Library",
    "/Library/Application Support/Apple",
    "/Users/Shared/Library",
    "/Users/Shared/Library/Application Support",
};

template <size_t N>
bool inList(const std::array<const char*, N>& list, std::string_view name) {
    return std::any_of(list.begin(), list.end(), [&](const char* e) { return equals65(e, name); });
}

bool isLibraryFolder(const std::vector<std::string>& c) {
    // "/Library", "/System/Library", "/Users/<u>/Library", "/private/var/root/Library",
    // "/Users/Shared/Library", "/Network/Library".
    size_t n = c.size();
    return n >= 2 && equals65(c[n - 1], "Library");
}

}  // namespace

std::optional<std::string> refusal(std::string_view logicalPath) {
    if (logicalPath.empty() || logicalPath.front() != '/')
        return "not an absolute path";
    for (size_t i = 0; i < logicalPath.size(); ++i) {
        if (logicalPath[i] == '\0')
            return "the path holds a NUL character";
        if (logicalPath[i] == '/' && i + 1 < logicalPath.size() && logicalPath[i + 1] == '/')
            return "the path has an empty component";
    }
    std::vector<std::string> c = platform::pathComponents(logicalPath);
    for (const auto& part : c)
        if (part == "." || part == "..")
            return "the path has a \".\" or \"..\" component";
    if (c.size() <= 1)
        return "the volume's root";
    if (c.size() == 2)
        return "a top-level folder of the volume";

    std::string p = platform::standardizePath(logicalPath);
    for (const char* prot : kProtectedPaths)
        if (equals65(p, prot))
            return "a system folder";

    const std::string& last = c.back();
    const std::string& parentName = c[c.size() - 2];
    if (isLibraryFolder(c))
        return "a Library folder";
    // A folder directly inside a Library folder that every program shares.
    if (equals65(parentName, "Library") && inList(kLibraryChildren, last))
        return "a shared Library folder";
    // "<Library>/Application Support/<x>" is fine, but "<Library>/Caches" was caught above.
    // Home folders: "/Users/<u>", "/private/var/root" and their standard folders.
    if (c.size() == 3 && equals65(c[1], "Users"))
        return "a home folder or /Users/Shared";
    if (c.size() == 4 && equals65(c[1], "Users") && inList(kHomeChildren, last))
        return "a standard folder of a home folder";
    if (c.size() == 5 && equals65(c[1], "private") && equals65(c[2], "var") &&
        equals65(c[3], "root") && inList(kHomeChildren, last))
        return "a standard folder of root's home folder";
    // The home folder of the running process, wherever it lies.
    std::string home = platform::standardizePath(platform::homeDirectory());
    if (equals65(p, home))
        return "the home folder";
    if (equals65(platform::deletingLastPathComponent(p), home) && inList(kHomeChildren, last))
        return "a standard folder of the home folder";
    if (auto why = confinementRefusal(c))
        return why;
    return std::nullopt;
}

void setConfinement(std::optional<std::vector<std::string>> allowed) {
    std::lock_guard lock(confinementLock);
    confinement = std::move(allowed);
}

bool isConfined() {
    std::lock_guard lock(confinementLock);
    return confinement.has_value();
}

bool isUsableName(std::string_view name) {
    std::string t = platform::trimWhitespaceAndNewlines(name);
    if (t.empty() || t == "." || t == "..")
        return false;
    return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

bool isUsableIdentifier(std::string_view identifier) {
    if (!isUsableName(identifier))
        return false;
    std::string t = platform::trimWhitespaceAndNewlines(identifier);
    while (!t.empty() && t.back() == '.')
        t.pop_back();
    while (!t.empty() && t.front() == '.')
        t.erase(t.begin());
    size_t dot = t.find('.');
    if (dot == std::string::npos)
        return false;  // "com", "foo": too generic to be a fragment
    // A bare reverse-DNS vendor prefix ("com.apple", "org.mozilla") still matches a whole
    // vendor's files; an identifier needs a product part after the vendor's. Two-part
    // identifiers other than well-known vendor prefixes stay usable ("com.foo").
    static constexpr std::array kVendorOnly = {"com.apple", "com.google", "com.microsoft",
                                               "org.mozilla", "com.adobe"};
    if (inList(kVendorOnly, t))
        return false;
    std::string tld = t.substr(0, dot);
    std::string rest = t.substr(dot + 1);
    return !rest.empty() && !tld.empty();
}

std::optional<std::string> forceRemovalRefusal(std::string_view logicalPath) {
    if (auto r = refusal(logicalPath))
        return r;
    // A link among the parent folders would redirect "rm -rf" to its target.
    if (auto link = platform::fs::linkAmongParents(logicalPath))
        return "a parent folder is a symbolic link: " + *link;
    return std::nullopt;
}

}  // namespace vendrel::guard
