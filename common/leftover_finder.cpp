// The places the finder searches, and which rules apply in each:
//
//   ~/Library/Application Support, /Library/Application Support   identifier, name, vendor
//   ~/Library/Caches                                               identifier, name, vendor
//   /Library/Caches, ~/Library/Preferences                         identifier, name
//   /Library/Preferences, ~/Library/Preferences/ByHost,
//   ~/Library/Saved Application State, Containers, HTTPStorages,
//   WebKit, Cookies, receipts,
//   the recent-documents lists                                     identifier
//   ~/Library/Group Containers, ~/Library/Application Scripts      identifier, team
//   ~/Library/Logs                                                 identifier, name, vendor
//   /Library/Logs                                                  identifier, name
//   DiagnosticReports (both)                                       crash reports by name
//   /Library/PrivilegedHelperTools                                 identifier, vendor
//   "/Users/Shared"                                                name
//   LaunchAgents (both), LaunchDaemons (both)                      identifier, vendor,
//                                                                  program path
//
// "vendor" is the identifier's vendor prefix ("us.zoom" of "us.zoom.xos"), used only when
// no other installed application's identifier carries it.
//
// Login items registered through launchd jobs are found with the jobs; the system's
// background-items database is one opaque file shared by every application and is never
// touched.
#include "common/leftover_finder.h"

#include <algorithm>
#include <set>

#include "common/files.h"
#include "common/guard.h"
#include "common/journal.h"
#include "common/sweep_support.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/strings.h"

namespace vendrel::leftovers {
namespace {

enum RuleSet : unsigned {
    kId = 1,
    kName = 2,
    kVendor = 4,
    kTeam = 8,
    kJobs = 16,
    kCrash = 32,
    kVendorId = 64,  // also the vendor prefix, when no other installed application carries it
};

struct Place {
    bool inHome;
    const char* path;
    unsigned rules;
};

constexpr Place kPlaces[] = {
    {true, "/Library/Application Support", kId | kName | kVendor},
    {false, "/Library/Application Support", kId | kName | kVendor},
    {true, "/Library/Caches", kId | kName | kVendor},
    {false, "/Library/Caches", kId | kName},
    {true, "/Library/Preferences", kId | kName},
    {false, "/Library/Preferences", kId},
    {true, "/Library/Preferences/ByHost", kId},
    {true, "/Library/Saved Application State", kId},
    {true, "/Library/Containers", kId},
    {true, "/Library/Group Containers", kId | kTeam},
    {true, "/Library/Application Scripts", kId | kTeam},
    {true, "/Library/HTTPStorages", kId},
    {true, "/Library/WebKit", kId},
    {true, "/Library/Cookies", kId},
    {true, "/Library/Logs", kId | kName | kVendor},
    {false, "/Library/Logs", kId | kName},
    {true, "/Library/Logs/DiagnosticReports", kCrash},
    {false, "/Library/Logs/DiagnosticReports", kCrash},
    {false, "/Library/PrivilegedHelperTools", kId | kVendorId},
    {false, "/private/var/db/receipts", kId},
    {false, "/Users/Shared", kName},
    {true,
     "/Library/Application Support/com.apple.sharedfilelist/"
     "com.apple.LSSharedFileList.ApplicationRecentDocuments",
     kId},
    {true, "/Library/LaunchAgents", kId | kVendorId | kJobs},
    {false, "/Library/LaunchAgents", kId | kVendorId | kJobs},
    {false, "/Library/LaunchDaemons", kId | kVendorId | kJobs},
    {true, "/Library/LaunchDaemons", kId | kVendorId | kJobs},
};

// Letters and digits only, lower case: "Brave-Browser" and "Brave Browser" compare equal.
std::string folded(std::string_view s) {
    std::string out;
    for (char c : platform::lowercaseString(s)) {
        const auto u = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || u >= 0x80)
            out.push_back(c);
    }
    return out;
}

bool isVersionText(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(),
                                     [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

// A folder inside a vendor's folder named after the application: "Google/Chrome" for
// "Google Chrome", "JetBrains/PyCharm2023.3" for "PyCharm", "BraveSoftware/Brave-Browser"
// for "Brave Browser". Never "Chrome Canary" for "Google Chrome".
bool vendorChildMatches(std::string_view vendor, std::string_view child, std::string_view name) {
    const std::string n = folded(name);
    if (n.size() < 3)
        return false;
    // The version suffix is judged on the raw text: "PyCharm2023.3" keeps its dot.
    const std::string rawLower = platform::lowercaseString(child);
    std::string c = folded(child);
    if (c == n || folded(vendor) + c == n)
        return true;
    if (c.size() <= n.size() || c.compare(0, n.size(), n) != 0)
        return false;
    // What follows the name must be a version ("2023.3", " 5"), nothing else. The raw text
    // is walked past as many letters and digits as the name holds.
    size_t i = 0;
    for (size_t matched = 0; i < rawLower.size() && matched < n.size(); ++i) {
        const char ch = rawLower[i];
        if ((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
            static_cast<unsigned char>(ch) >= 0x80)
            ++matched;
    }
    std::string_view rest = std::string_view(rawLower).substr(i);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '-' || rest.front() == '_'))
        rest.remove_prefix(1);
    return isVersionText(rest);
}

// "Name_2024-03-02-101112_Mac.crash", "Name-2024-03-02-101112.ips".
bool crashReportMatches(std::string_view entry, std::string_view name) {
    const std::string e = platform::lowercaseString(entry);
    const std::string n = platform::lowercaseString(name);
    if (e.size() < n.size() + 2 || e.compare(0, n.size(), n) != 0)
        return false;
    const char sep = e[n.size()];
    const char next = e[n.size() + 1];
    return (sep == '_' || sep == '-') && next >= '0' && next <= '9';
}

std::string vendorPrefix(std::string_view identifier) {
    const auto first = identifier.find('.');
    if (first == std::string_view::npos)
        return {};
    const auto second = identifier.find('.', first + 1);
    if (second == std::string_view::npos)
        return {};
    return std::string(identifier.substr(0, second));
}

bool isTeamLike(std::string_view s) {
    return s.size() == 10 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
           });
}

std::optional<uint64_t> itemSize(const std::string& path) {
    if (platform::fs::isSymbolicLink(path))
        return 0;
    if (platform::fs::isDirectory(path))
        return files::folderSize(path);
    return files::fileSize(path);
}

class Search {
  public:
    explicit Search(const Ownership& ownership) : own_(ownership), app_(ownership.removed()) {
        const std::string prefix = vendorPrefix(app_.identifier);
        // A vendor prefix names this application alone only when no other installed
        // application carries it.
        if (!prefix.empty() && isSpecificIdentifier(prefix)) {
            bool shared = false;
            for (const auto& other : own_.others())
                shared = shared || platform::lowercaseString(vendorPrefix(other.identifier)) ==
                                       platform::lowercaseString(prefix);
            if (!shared)
                soleVendorPrefix_ = prefix;
        }
    }

    std::vector<Finding> run() {
        if (app_.identifier.empty() && app_.names.empty())
            return {};
        inferTeams();
        for (const auto& place : kPlaces) {
            std::optional<std::string> folder;
            if (place.inHome)
                folder = sweep::homeJoin(place.path);
            else
                folder = std::string(place.path);
            if (!folder)
                continue;
            const std::string label = place.inHome ? std::string("~") + place.path : place.path;
            searchFolder(*folder, label, place.rules);
        }
        // Jobs are judged once every support folder and helper tool is known.
        for (const auto& job : jobs_)
            judgeJob(job);
        return finish();
    }

  private:
    struct JobCandidate {
        std::string path;
        std::string label;
    };

    void add(const std::string& path, const std::string& label, Rule rule, std::string evidence) {
        if (guard::isProtected(path) ||
            platform::standardizePath(path) == platform::standardizePath(app_.bundlePath))
            return;
        if (own_.claimant(platform::lastPathComponent(path), evidence))
            return;
        Finding f;
        f.path = path;
        f.location = label;
        f.rule = rule;
        f.evidence = std::move(evidence);
        found_.push_back(std::move(f));
    }

    // The team identifiers the application's own containers reveal ("ABCDE12345.com.foo",
    // "ABCDE12345.com.vendor" when only this application carries that vendor prefix).
    void inferTeams() {
        std::set<std::string> sharedTeams;
        for (const char* literal : {"/Library/Group Containers", "/Library/Application Scripts"}) {
            auto folder = sweep::homeJoin(literal);
            if (!folder)
                continue;
            for (const auto& entry : platform::fs::contentsOfDirectory(*folder)) {
                const auto dot = entry.find('.');
                if (dot == std::string::npos || !isTeamLike(entry.substr(0, dot)))
                    continue;
                const std::string rest = entry.substr(dot + 1);
                const std::string team = platform::lowercaseString(entry.substr(0, dot));
                if (identifierMatches(rest, app_.identifier) ||
                    (!soleVendorPrefix_.empty() && identifierMatches(rest, soleVendorPrefix_)))
                    teams_.insert(team);
                for (const auto& other : own_.others())
                    if (identifierMatches(rest, other.identifier))
                        sharedTeams.insert(team);
            }
        }
        // A team that another installed application's containers reveal is shared, and so
        // is any team when the vendor prefix is.
        if (soleVendorPrefix_.empty())
            teams_.clear();
        for (const auto& team : sharedTeams)
            teams_.erase(team);
    }

    void searchFolder(const std::string& folder, const std::string& label, unsigned rules) {
        for (const auto& entry : platform::fs::contentsOfDirectory(folder)) {
            const std::string path = platform::appendPathComponent(folder, entry);
            if ((rules & kJobs) != 0)
                jobs_.push_back({path, label});
            if ((rules & kId) != 0 && identifierMatches(entry, app_.identifier)) {
                add(path, label, Rule::Identifier, app_.identifier);
                continue;
            }
            if ((rules & kVendorId) != 0 && !soleVendorPrefix_.empty() &&
                identifierMatches(entry, soleVendorPrefix_)) {
                add(path, label, Rule::Identifier, soleVendorPrefix_);
                continue;
            }
            if ((rules & kTeam) != 0 && matchesTeam(folder, entry, label))
                continue;
            bool matched = false;
            if ((rules & kName) != 0) {
                for (const auto& name : app_.names) {
                    if (nameMatches(entry, name)) {
                        add(path, label, Rule::Name, name);
                        matched = true;
                        break;
                    }
                }
            }
            if (!matched && (rules & kCrash) != 0) {
                for (const auto& name : app_.names) {
                    if (crashReportMatches(entry, name)) {
                        add(path, label, Rule::Name, name);
                        matched = true;
                        break;
                    }
                }
            }
            if (!matched && (rules & kVendor) != 0 && !platform::fs::isSymbolicLink(path) &&
                platform::fs::isDirectory(path))
                searchVendorFolder(path, entry, label);
        }
    }

    // Containers named by the developer's team ("ABCDE12345.com.vendor.shared") or by a
    // group of the vendor ("group.com.vendor"), taken only when no other installed
    // application can share them.
    bool matchesTeam(const std::string& folder, const std::string& entry,
                     const std::string& label) {
        const auto dot = entry.find('.');
        if (dot == std::string::npos)
            return false;
        const std::string head = entry.substr(0, dot);
        const std::string rest = entry.substr(dot + 1);
        const std::string path = platform::appendPathComponent(folder, entry);
        const bool team = isTeamLike(head);
        if (team && teams_.count(platform::lowercaseString(head)) != 0) {
            add(path, label, Rule::TeamIdentifier, head);
            return true;
        }
        if (!soleVendorPrefix_.empty() && (team || platform::lowercaseString(head) == "group") &&
            identifierMatches(rest, soleVendorPrefix_)) {
            add(path, label, Rule::Identifier, soleVendorPrefix_);
            return true;
        }
        return false;
    }

    void searchVendorFolder(const std::string& vendorPath, const std::string& vendor,
                            const std::string& label) {
        for (const auto& child : platform::fs::contentsOfDirectory(vendorPath)) {
            for (const auto& name : app_.names) {
                if (vendorChildMatches(vendor, child, name)) {
                    add(platform::appendPathComponent(vendorPath, child), label, Rule::VendorFolder,
                        vendor + "/" + name);
                    break;
                }
            }
        }
    }

    void judgeJob(const JobCandidate& job) {
        for (const auto& f : found_)
            if (f.path == job.path)
                return;
        const auto program = sweep::launchJobProgram(job.path);
        if (!program)
            return;
        std::vector<std::string> homes{app_.bundlePath};
        for (const auto& f : found_) {
            const bool support = f.location.find("Application Support") != std::string::npos;
            const bool helper = f.location == "/Library/PrivilegedHelperTools";
            if ((support && platform::fs::isDirectory(f.path)) || helper)
                homes.push_back(f.path);
        }
        for (const auto& folder : homes) {
            const bool inside = programLiesIn(*program, folder);
            const bool isTool =
                platform::lowercaseString(*program) == platform::lowercaseString(folder) &&
                folder.rfind("/Library/PrivilegedHelperTools/", 0) == 0;
            if (inside || isTool) {
                add(job.path, job.label, Rule::ProgramPath, *program);
                return;
            }
        }
    }

    std::vector<Finding> finish() {
        std::sort(found_.begin(), found_.end(),
                  [](const Finding& a, const Finding& b) { return a.path < b.path; });
        std::vector<Finding> out;
        const std::string home = platform::homeDirectory();
        for (auto& f : found_) {
            if (!out.empty() &&
                (out.back().path == f.path || f.path.rfind(out.back().path + "/", 0) == 0))
                continue;
            f.system = !(sweep::isUsableHome(home) && f.path.rfind(home + "/", 0) == 0);
            f.size = itemSize(f.path);
            out.push_back(std::move(f));
        }
        return out;
    }

    const Ownership& own_;
    const AppIdentity& app_;
    std::string soleVendorPrefix_;
    std::set<std::string> teams_;
    std::vector<Finding> found_;
    std::vector<JobCandidate> jobs_;
};

}  // namespace

std::string_view toString(Rule rule) {
    switch (rule) {
        case Rule::Identifier:
            return "identifier";
        case Rule::Name:
            return "name";
        case Rule::VendorFolder:
            return "vendor folder";
        case Rule::TeamIdentifier:
            return "team identifier";
        case Rule::ProgramPath:
            return "program path";
    }
    return "identifier";
}

std::vector<Finding> findLeftovers(const Ownership& ownership) {
    return Search(ownership).run();
}

uint64_t totalSize(const std::vector<Finding>& findings) {
    uint64_t total = 0;
    for (const auto& f : findings)
        total += f.size.value_or(0);
    return total;
}

std::vector<RemovedFinding> removeFindings(const std::vector<Finding>& findings, bool asRoot) {
    std::vector<RemovedFinding> out;
    for (const auto& f : findings) {
        RemovedFinding r;
        r.path = f.path;
        if (!platform::fs::attributesOfItem(f.path)) {
            r.destination = "already removed";
        } else if (f.system && !asRoot) {
            r.destination = "left: needs administrator rights";
        } else if (journalDryRun()) {
            files::moveToTrash(f.path);
            r.destination = "would go to the Trash";
        } else {
            files::TrashedItems trashed;
            files::moveToTrash(f.path);
            if (!trashed.trashedPaths().empty()) {
                r.trashedPath = trashed.trashedPaths().front();
                // Whose Trash it is follows from where it went, not from who runs.
                r.destination = r.trashedPath.rfind("/private/var/root/.Trash/", 0) == 0
                                    ? "root's Trash"
                                    : "user's Trash";
            } else {
                r.destination =
                    platform::fs::attributesOfItem(f.path) ? "left: could not be moved" : "deleted";
            }
        }
        out.push_back(std::move(r));
    }
    return out;
}

}  // namespace vendrel::leftovers
