// `Vendrel sweep <name or path> [--root-mode] [--dry-run] [--json]`: runs the extended delete
// engine for one installed application, as the application does after its daemon request
// (user mode) or as the daemon does (--root-mode), and prints the removal journal: the
// routine the dispatch picked and every action taken, refused or skipped.
//
// The application is found as `Vendrel analyze` finds it (install path or catalogue name);
// --name and --identifier override what its Info.plist says, and make it possible to sweep
// for an application whose bundle is already gone. No command list is run: the daemon takes
// it from the request file, which this command does not read.

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "app/cli/app_lookup.h"
#include "app/cli/commands.h"
#include "app/cli/printable.h"
#include "common/extended_delete.h"
#include "common/home_setting.h"
#include "common/journal.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/system.h"

namespace vendrel::cli {
namespace {

struct SweepOptions {
    std::string target;
    std::optional<std::string> name;
    std::optional<std::string> identifier;
    bool rootMode = false;
    bool dryRun = false;
    bool json = false;
};

struct Target {
    std::string installPath;
    std::string name = "N/A";
    std::string identifier = "N/A";
};

// A bundle that is already gone (the removal moved it away) is swept by the install path
// given and the name and identifier the user supplies.
std::optional<Target> targetForRemovedBundle(const SweepOptions& opt, std::string& error) {
    Target t;
    t.installPath = platform::standardizePath(opt.target);
    if (platform::pathComponents(t.installPath).size() < 3) {
        error = "\"" + t.installPath + "\" is not an application's install path";
        return std::nullopt;
    }
    if (!opt.name) {
        error +=
            "\n(to sweep for an application that is already removed, give --name and "
            "--identifier)";
        return std::nullopt;
    }
    return t;
}

std::optional<Target> resolve(const SweepOptions& opt, std::string& error) {
    std::optional<Target> target;
    if (auto record = cli::resolve(opt.target, error)) {
        target =
            Target{(*record)->installPath.get(), (*record)->name.get(), (*record)->bundleId.get()};
    } else if (!opt.target.empty() && opt.target.front() == '/' &&
               !platform::fs::attributesOfItem(opt.target)) {
        target = targetForRemovedBundle(opt, error);
    }
    if (!target)
        return std::nullopt;
    if (opt.name)
        target->name = *opt.name;
    if (opt.identifier)
        target->identifier = *opt.identifier;
    return target;
}

int sweep(const SweepOptions& opt) {
    std::string error;
    const auto target = resolve(opt, error);
    if (!target) {
        std::cerr << "Vendrel: " << error << '\n';
        return 2;
    }
    if (opt.rootMode && !opt.dryRun && !platform::runsAsRoot())
        std::cerr << "Vendrel: note: --root-mode without root rights; force removals may fail\n";

    Journal journal(opt.dryRun);
    {
        JournalScope scope(journal);
        // The daemon tells the engine the user's home folder before each request.
        if (opt.rootMode)
            setHomeDirectory(platform::homeDirectory());
        extended_delete::run(target->installPath, target->name, target->identifier, std::nullopt,
                             opt.rootMode ? Mode::Root : Mode::User);
    }
    const auto entries = journal.entries();

    if (opt.json) {
        using nlohmann::json;
        json actions = json::array();
        for (const auto& e : entries)
            actions.push_back({{"action", std::string(toString(e.action))},
                               {"subject", e.subject},
                               {"detail", e.detail},
                               {"dryRun", e.dryRun}});
        json out = {{"name", target->name},
                    {"installPath", target->installPath},
                    {"identifier", target->identifier},
                    {"mode", opt.rootMode ? "root" : "user"},
                    {"dryRun", opt.dryRun},
                    {"journal", std::move(actions)}};
        std::cout << out.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
        return 0;
    }
    std::cout << (opt.dryRun ? "Dry run, nothing changed: " : "") << "sweep of "
              << printable(target->name) << " (" << printable(target->installPath)
              << "), identifier " << printable(target->identifier) << ", "
              << (opt.rootMode ? "root" : "user") << " mode\n";
    if (entries.empty())
        std::cout << "nothing found\n";
    for (const auto& e : entries) {
        std::cout << toString(e.action) << ": " << printable(e.subject);
        if (!e.detail.empty())
            std::cout << "  [" << printable(e.detail) << "]";
        std::cout << '\n';
    }
    return 0;
}

}  // namespace

void addSweepCommand(CLI::App& app, Outcome& outcome) {
    auto opt = std::make_shared<SweepOptions>();
    auto* cmd = app.add_subcommand(
        "sweep", "Sweep one application's leftovers with the extended delete engine");
    cmd->add_option("app", opt->target, "Application name or install path")->required();
    cmd->add_flag("--root-mode", opt->rootMode,
                  "Run as the daemon does: force removal, root's Trash");
    cmd->add_flag("--dry-run", opt->dryRun, "Show what would be done; change nothing");
    cmd->add_flag("--json", opt->json, "Print the journal as JSON");
    cmd->add_option("--name", opt->name, "Display name to sweep for (default: from the bundle)");
    cmd->add_option("--identifier", opt->identifier,
                    "Bundle identifier to sweep for (default: from the bundle)");
    cmd->callback([opt, &outcome] { outcome.exitCode = sweep(*opt); });
}

}  // namespace vendrel::cli
