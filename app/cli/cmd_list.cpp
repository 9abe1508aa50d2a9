// `Vendrel list [--show-apple] [--json]`: the catalogue, in catalogue order.
//
// Applications on the maker's malware list are marked: "!" before the name in the table,
// followed by the names the untrusted-applications tip would show (hidden ones included),
// and an "untrusted" flag in every JSON record.
//
// Names, versions and identifiers come from other programs' Info.plist files: the table
// shows control characters escaped (a name must not be able to move the cursor or end a
// row early), and the JSON form replaces bytes that are not UTF-8.
#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "app/catalogue/catalogue.h"
#include "app/catalogue/malware_list.h"
#include "app/cli/commands.h"
#include "app/cli/printable.h"

namespace vendrel::cli {
namespace {

struct ListOptions {
    bool showApple = false;
    bool json = false;
};

// Terminal columns of a UTF-8 text, counting one per code point (continuation bytes are
// free). Good enough for the Latin, Cyrillic and Greek names most bundles carry.
size_t columns(const std::string& s) {
    return static_cast<size_t>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Cuts a text to at most `width` columns, marking the cut with an ellipsis.
std::string fit(const std::string& s, size_t width) {
    if (columns(s) <= width)
        return s;
    size_t kept = 0, i = 0;
    for (; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && ++kept == width)
            break;
    }
    return s.substr(0, i) + "\u2026";
}

// The malware list, remembering which bundles it flagged. By install path: records of hidden
// applications are dropped after the check, so an address could be reused by a later record.
class FlaggingHook final : public UntrustedAppsHook {
  public:
    void beginRebuild() override {
        flagged_.clear();
        list_.beginRebuild();
    }
    void checkApplication(const InstalledApp& record) override {
        if (list_.checkName(record.name.get()))
            flagged_.insert(record.installPath.get());
    }
    bool isFlagged(const InstalledAppRef& record) const {
        return flagged_.count(record->installPath.get()) > 0;
    }
    std::vector<MalwareList::UntrustedApp> rows() const { return list_.untrustedApps(); }

  private:
    MalwareList list_;
    std::set<std::string> flagged_;
};

struct Row {
    std::string name, version, identifier, installed, path;
};

void printTable(const std::vector<InstalledAppRef>& records, const FlaggingHook& untrusted) {
    constexpr size_t kNameMax = 34, kVersionMax = 14, kIdentifierMax = 40;
    std::vector<Row> rows;
    Row heading{"Name", "Version", "Bundle identifier", "Installed", "Path"};
    size_t wName = columns(heading.name), wVersion = columns(heading.version),
           wIdentifier = columns(heading.identifier), wInstalled = 19;
    for (const auto& r : records) {
        Row row{(untrusted.isFlagged(r) ? "! " : "") + fit(printable(r->name.get()), kNameMax),
                fit(printable(r->version.get()), kVersionMax),
                fit(printable(r->bundleId.get()), kIdentifierMax),
                r->installDate.get().value_or("unknown"), printable(r->installPath.get())};
        wName = std::max(wName, columns(row.name));
        wVersion = std::max(wVersion, columns(row.version));
        wIdentifier = std::max(wIdentifier, columns(row.identifier));
        rows.push_back(std::move(row));
    }
    auto pad = [](const std::string& s, size_t width) {
        return s + std::string(width - std::min(width, columns(s)), ' ');
    };
    auto print = [&](const Row& row) {
        std::cout << pad(row.name, wName) << "  " << pad(row.version, wVersion) << "  "
                  << pad(row.identifier, wIdentifier) << "  " << pad(row.installed, wInstalled)
                  << "  " << row.path << '\n';
    };
    print(heading);
    print(Row{std::string(wName, '-'), std::string(wVersion, '-'), std::string(wIdentifier, '-'),
              std::string(wInstalled, '-'), std::string(4, '-')});
    for (const auto& row : rows)
        print(row);
    std::cout << '\n'
              << rows.size() << (rows.size() == 1 ? " item" : " items")
              << " (applications and preference panes)\n";
    const auto flagged = untrusted.rows();
    if (!flagged.empty()) {
        std::cout << "\n! Untrusted applications (on the malware list):\n";
        for (const auto& row : flagged)
            std::cout << "  " << printable(row.app_name) << '\n';
    }
}

void printJson(const std::vector<InstalledAppRef>& records, const FlaggingHook& untrusted) {
    auto out = nlohmann::ordered_json::array();
    for (const auto& r : records) {
        auto installed = r->installDate.get();
        out.push_back({
            {"name", r->name.get()},
            {"version", r->version.get()},
            {"bundleId", r->bundleId.get()},
            {"installDate",
             installed ? nlohmann::ordered_json(*installed) : nlohmann::ordered_json()},
            {"installPath", r->installPath.get()},
            {"untrusted", untrusted.isFlagged(r)},
        });
    }
    std::cout << out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

}  // namespace

void addListCommand(CLI::App& app, Outcome& outcome) {
    auto options = std::make_shared<ListOptions>();
    auto* cmd = app.add_subcommand("list", "List the installed applications and preference panes");
    cmd->add_flag("--show-apple", options->showApple, "Include Apple's own applications and panes");
    cmd->add_flag("--json", options->json,
                  "Print a JSON array of records (keys: the record's field names)");
    cmd->callback([options, &outcome] {
        FlaggingHook untrusted;
        Catalogue catalogue(&untrusted);
        catalogue.rebuild(options->showApple);
        if (options->json)
            printJson(catalogue.apps, untrusted);
        else
            printTable(catalogue.apps, untrusted);
        outcome.exitCode = 0;
    });
}

}  // namespace vendrel::cli
