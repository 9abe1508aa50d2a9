// `Vendrel analyze <name or path> [--files] [--json]`: runs the analysis job of the desktop
// application (same stages, same waits, same request files) and prints what step 2 shows.
// With --leftovers it also lists what the leftover finder finds beyond the bundle, each item
// with its size and the evidence that ties it to the application; nothing is removed.

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "app/analysis/analysis_job.h"
#include "app/catalogue/catalogue.h"
#include "app/cli/app_lookup.h"
#include "app/cli/commands.h"
#include "app/cli/leftovers_view.h"
#include "app/cli/printable.h"
#include "app/dispatch.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/strings.h"

namespace vendrel::cli {
namespace {

struct AnalyzeOptions {
    std::string target;
    bool files = false;
    bool json = false;
    bool leftovers = false;
};

void printTable(const FileTable& files) {
    size_t wName = 8, wSize = 8;  // the header widths
    for (size_t i = 0; i < files.size(); ++i) {
        wName = std::max(wName, printable(files.name(i)).size());
        wSize = std::max(wSize, files.sizeText(i).size());
    }
    auto row = [&](const std::string& a, const std::string& b, const std::string& c) {
        std::cout << a << std::string(wName - a.size() + 2, ' ')
                  << std::string(wSize - b.size(), ' ') << b << "  " << c << '\n';
    };
    row("FileName", "FileSize", "FilePath");
    for (size_t i = 0; i < files.size(); ++i)
        row(printable(files.name(i)), files.sizeText(i), printable(files.folder(i)));
}

int analyze(const AnalyzeOptions& opt) {
    const auto record = resolveOrReport(opt.target);
    if (!record)
        return 2;
    dispatch::MainQueue mainQueue;
    FileTable files;
    const AnalysisResult r = analyse(*record, mainQueue, opt.files ? &files : nullptr);
    std::vector<leftovers::Finding> findings;
    if (opt.leftovers) {
        const auto ownership = leftovers::Ownership::forRemoval(
            (*record)->installPath.get(), (*record)->name.get(), (*record)->bundleId.get());
        findings = leftovers::findLeftovers(*ownership);
    }

    if (opt.json) {
        using nlohmann::json;
        json out = {
            {"name", r.name},
            {"installPath", r.installPath},
            {"folderCount", (*record)->folderCount.get()},
            {"fileCount", (*record)->fileCount.get()},
            {"sizeText", (*record)->sizeText.get()},
            {"sizeBytes", r.sizeBytes},
            {"rank", r.rank},
            {"label", std::string(r.difficulty.label)},
            {"removalCommandList", r.commandListInForce},
        };
        if (opt.files) {
            json table = json::array();
            for (size_t i = 0; i < files.size(); ++i)
                table.push_back({{"FileName", std::string(files.name(i))},
                                 {"FileSize", files.sizeText(i)},
                                 {"FilePath", std::string(files.folder(i))}});
            out["files"] = std::move(table);
        }
        if (opt.leftovers) {
            out["leftovers"] = findingsJson(findings);
            out["leftoversSizeBytes"] = leftovers::totalSize(findings);
        }
        // File names need not be valid UTF-8; replace what is not instead of failing.
        std::cout << out.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
        return 0;
    }
    std::cout << printable(r.name) << " (" << printable(r.installPath) << ")\n"
              << r.totalsLine << '\n'
              << r.difficultyLine << '\n'
              << "Removal command list: " << (r.commandListInForce ? "in force" : "none") << '\n';
    if (opt.files) {
        std::cout << '\n';
        printTable(files);
    }
    if (opt.leftovers) {
        std::cout << "\nLeftovers beyond the bundle: " << findingsSummary(findings) << '\n';
        printFindings(std::cout, findings);
    }
    return 0;
}

}  // namespace

void addAnalyzeCommand(CLI::App& app, Outcome& outcome) {
    auto opt = std::make_shared<AnalyzeOptions>();
    auto* cmd = app.add_subcommand(
        "analyze", "Analyse one application: folders, files, size and uninstall difficulty");
    cmd->add_option("app", opt->target, "Application name or install path")->required();
    cmd->add_flag("--files", opt->files, "List every file inside the bundle");
    cmd->add_flag("--json", opt->json, "Print the result as JSON");
    cmd->add_flag("--leftovers", opt->leftovers,
                  "List the leftovers found beyond the bundle, with evidence and size");
    cmd->callback([opt, &outcome] { outcome.exitCode = analyze(*opt); });
}

}  // namespace vendrel::cli
