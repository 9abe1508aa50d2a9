// `Vendrel remove <name or path> [--yes] [--json]`: analyses the application (so that the
// request files are written for it), asks for confirmation, then runs the removal flow of the
// desktop application and prints its result texts and what was moved where.
//
// Unless --engine-only asks for the extended delete engine alone, the leftover finder's
// findings go with the rest; the confirmation says how many items and bytes that is.
#include <chrono>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "app/catalogue/catalogue.h"
#include "app/cli/app_lookup.h"
#include "app/cli/commands.h"
#include "app/cli/leftovers_view.h"
#include "app/cli/printable.h"
#include "app/cli/services.h"
#include "app/dispatch.h"
#include "app/removal/removal_flow.h"
#include "app/removal/removal_history.h"
#include "common/system_info.h"
#include "platform/strings.h"
#include "platform/trash.h"

namespace vendrel::cli {
namespace {

struct RemoveOptions {
    std::string target;
    bool yes = false;
    bool json = false;
    bool engineOnly = false;
};

// The terminal's stand-in for the confirmation sheet: "YES" (any case, or "y") is the
// alert's second button; anything else, end of input included, is "NO".
int askConfirmation(const std::string& name, const std::vector<leftovers::Finding>& findings) {
    if (!findings.empty()) {
        std::cout << "Beyond the bundle, " << findingsSummary(findings) << " will go:\n";
        printFindings(std::cout, findings);
    }
    std::cout << printable(RemovalFlow::confirmationText(name)) << " [YES/NO] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer))
        return RemovalFlow::kAlertNo;
    answer = platform::trimWhitespaceAndNewlines(answer);
    if (platform::equals65(answer, "YES") || platform::equals65(answer, "y"))
        return RemovalFlow::kAlertYes;
    return RemovalFlow::kAlertNo;
}

nlohmann::json journalJson(const Journal& journal) {
    nlohmann::json out = nlohmann::json::array();
    for (const JournalEntry& e : journal.entries())
        out.push_back({{"action", std::string(toString(e.action))},
                       {"subject", e.subject},
                       {"detail", e.detail},
                       {"by", "application"}});
    return out;
}

int removeAndReport(const RemoveOptions& opt);

// The command's network work (the uninstall report) may still be under way when its results
// are out; the process waits for it only after printing them.
int removeApp(const RemoveOptions& opt) {
    const auto start = std::chrono::steady_clock::now();
    const int code = removeAndReport(opt);
    finishOnlineWork(start);
    return code;
}

int removeAndReport(const RemoveOptions& opt) {
    const auto record = resolveOrReport(opt.target);
    if (!record)
        return 2;
    dispatch::MainQueue mainQueue;
    analyse(*record, mainQueue);

    const std::string name = (*record)->name.get();
    std::vector<leftovers::Finding> findings;
    if (!opt.engineOnly) {
        const auto ownership = leftovers::Ownership::forRemoval((*record)->installPath.get(), name,
                                                                (*record)->bundleId.get());
        findings = leftovers::findLeftovers(*ownership);
    }
    const int answer = opt.yes ? RemovalFlow::kAlertYes : askConfirmation(name, findings);

    // The flow rebuilds the catalogue after a removal for the window's list; the command
    // line shows neither that list nor the untrusted-applications tip, so the rebuild needs
    // no malware list and does not wait for its download.
    Catalogue catalogue;
    Journal journal;
    RemovalFlow flow(mainQueue, removalServices(catalogue), system::osVersion());
    flow.selected = *record;
    flow.journal = &journal;
    flow.leftoverFindings = findings;
    flow.confirmationEnded(answer);
    mainQueue.drain();  // starts the uninstall report, queued behind the removal

    if (answer != RemovalFlow::kAlertYes) {
        if (opt.json)
            std::cout << nlohmann::json{{"removed", false}, {"confirmed", false}}.dump(2) << '\n';
        else
            std::cout << "Nothing was removed.\n";
        return 1;
    }
    if (!flow.lastRemovalStarted) {
        std::cerr << "Vendrel: " << printable((*record)->installPath.get())
                  << " is not in a place from which applications are removed "
                     "(an Applications folder, a Desktop or a PreferencePanes folder)\n";
        return 1;
    }

    removal_history::Removal history{name, (*record)->installPath.get(), flow.lastRemovalStart,
                                     std::chrono::system_clock::now(),
                                     removal_history::trashedItems(journal)};
    removal_history::save(history);
    const auto daemonItems = platform::trash::records("/private/var/root/.Trash");

    if (opt.json) {
        nlohmann::json daemon = nlohmann::json::array();
        for (const auto& r : daemonItems)
            if (r.when >= flow.lastRemovalStart)
                daemon.push_back({{"action", "moved to Trash"},
                                  {"subject", r.originalPath},
                                  {"detail", r.trashedPath},
                                  {"by", "daemon"}});
        nlohmann::json out = {{"removed", flow.lastRemovalCompleted},
                              {"resultName", flow.resultName},
                              {"resultCounts", flow.resultCounts},
                              {"resultNote", flow.resultNote},
                              {"journal", journalJson(journal)},
                              {"daemon", std::move(daemon)},
                              {"leftovers", removedJson(flow.removedLeftovers)}};
        std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        return flow.lastRemovalCompleted ? 0 : 1;
    }

    std::cout << printable(flow.resultName) << '\n' << printable(flow.resultCounts) << '\n';
    if (!flow.resultNote.empty())
        std::cout << printable(flow.resultNote) << '\n';
    std::cout << "\nWhat the application did:\n";
    for (const JournalEntry& e : journal.entries()) {
        std::cout << "  " << toString(e.action) << ": " << printable(e.subject);
        if (!e.detail.empty())
            std::cout << " -> " << printable(e.detail);
        std::cout << '\n';
    }
    if (!flow.removedLeftovers.empty()) {
        std::cout << "\nLeftovers beyond the engine:\n";
        for (const auto& r : flow.removedLeftovers)
            std::cout << "  " << printable(r.path) << " -> " << printable(r.destination) << '\n';
    }
    bool header = false;
    for (const auto& r : daemonItems) {
        if (r.when < flow.lastRemovalStart)
            continue;
        if (!header)
            std::cout << "\nWhat the daemon moved to root's Trash:\n";
        header = true;
        std::cout << "  " << printable(r.originalPath) << " -> " << printable(r.trashedPath)
                  << '\n';
    }
    return flow.lastRemovalCompleted ? 0 : 1;
}

}  // namespace

void addRemoveCommand(CLI::App& app, Outcome& outcome) {
    auto opt = std::make_shared<RemoveOptions>();
    auto* cmd =
        app.add_subcommand("remove", "Remove one application with everything it left behind");
    cmd->add_option("app", opt->target, "Application name or install path")->required();
    cmd->add_flag("--yes", opt->yes, "Do not ask for confirmation");
    cmd->add_flag("--json", opt->json, "Print the result as JSON");
    cmd->add_flag("--engine-only", opt->engineOnly,
                  "Remove only what the extended delete engine sweeps, not the leftovers the "
                  "finder lists");
    cmd->callback([opt, &outcome] { outcome.exitCode = removeApp(*opt); });
}

}  // namespace vendrel::cli
