// `Vendrel analyze <name or path> [--files] [--json]`: runs the analysis job of the desktop
// application (same stages, same waits, same request files) and prints what step 2 shows.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "app/analysis/analysis_job.h"
#include "app/catalogue/catalogue.h"
#include "app/cli/commands.h"
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
};

// A record for the bundle at an install path, filled from its Info.plist the way the
// catalogue fills it. Refuses what the catalogue would not list: a missing folder, a link.
std::optional<InstalledAppRef> recordForPath(const std::string& path, std::string& error) {
    const std::string installPath = platform::standardizePath(path);
    if (platform::fs::isSymbolicLink(installPath)) {
        error = "\"" + installPath + "\" is a symbolic link; give the bundle itself";
        return std::nullopt;
    }
    if (!platform::fs::isDirectory(installPath)) {
        error = "no application bundle at \"" + installPath + "\"";
        return std::nullopt;
    }
    auto record = std::make_shared<lib_TargetInstalledAppInfo>();
    record->mpu_str_InstallPath.set(installPath);
    const auto info = platform::plist::readDictionary(
        platform::appendPathComponent(installPath, "Contents/Info.plist"));
    if (info) {
        if (const auto* v = platform::plist::stringForKey(*info, "CFBundleName"))
            record->mpu_str_Name.set(*v);
        else if (const auto* e = platform::plist::stringForKey(*info, "CFBundleExecutable"))
            record->mpu_str_Name.set(*e);
        if (const auto* id = platform::plist::stringForKey(*info, "CFBundleIdentifier"))
            record->mpu_str_Publisher.set(*id);
    }
    return record;
}

// A name is looked up in the catalogue (Apple's applications included: analysing changes
// nothing): first by display name, then by bundle folder name ("Foo" or "Foo.app"), both
// under the name rule. More than one match is an error that lists them.
std::optional<InstalledAppRef> resolve(const std::string& target, std::string& error) {
    if (!target.empty() && target.front() == '/')
        return recordForPath(target, error);
    if (target.find('/') != std::string::npos) {
        error = "\"" + target + "\" is a relative path; give the install path from \"/\"";
        return std::nullopt;
    }
    Catalogue catalogue;
    catalogue.fun_GetInstalledApps(true);
    std::vector<InstalledAppRef> found;
    for (const auto& r : catalogue.mpu_array_TargetInstalledAppInfo)
        if (platform::equals65(r->mpu_str_Name.get(), target))
            found.push_back(r);
    if (found.empty()) {
        for (const auto& r : catalogue.mpu_array_TargetInstalledAppInfo) {
            const std::string folder = platform::lastPathComponent(r->mpu_str_InstallPath.get());
            if (platform::equals65(folder, target) ||
                platform::equals65(platform::deletingPathExtension(folder), target))
                found.push_back(r);
        }
    }
    if (found.size() == 1)
        return found.front();
    if (found.empty()) {
        error = "no installed application named \"" + target + "\" (see `Vendrel list`)";
    } else {
        error = "\"" + target + "\" names " + std::to_string(found.size()) +
                " applications; give one install path:";
        for (const auto& r : found)
            error += "\n  " + r->mpu_str_InstallPath.get();
    }
    return std::nullopt;
}

// Prints the progress lines over one another on a terminal; silent otherwise.
class CliView : public AnalysisView {
  public:
    CliView() : tty_(::isatty(STDERR_FILENO) == 1) {}
    void showStageLine(std::string_view text) override { status(text); }
    void showCountsLine(std::string_view text) override { status(text); }
    void resultListChanged() override {}
    void present(const AnalysisResult& result) override {
        if (tty_)
            std::cerr << "\r\x1b[K" << std::flush;
        result_ = result;
    }
    const std::optional<AnalysisResult>& result() const { return result_; }

  private:
    void status(std::string_view text) {
        if (tty_)
            std::cerr << "\r\x1b[K" << text << std::flush;
    }
    bool tty_;
    std::optional<AnalysisResult> result_;
};

void printTable(const std::vector<FileEntry>& files) {
    size_t wName = 8, wSize = 8;  // the header widths
    std::vector<FileEntry> shown;
    shown.reserve(files.size());
    for (const auto& f : files) {
        shown.push_back({printable(f.FileName), f.FileSize, printable(f.FilePath)});
        wName = std::max(wName, shown.back().FileName.size());
        wSize = std::max(wSize, f.FileSize.size());
    }
    auto row = [&](const std::string& a, const std::string& b, const std::string& c) {
        std::cout << a << std::string(wName - a.size() + 2, ' ')
                  << std::string(wSize - b.size(), ' ') << b << "  " << c << '\n';
    };
    row("FileName", "FileSize", "FilePath");
    for (const auto& f : files)
        row(f.FileName, f.FileSize, f.FilePath);
}

int analyze(const AnalyzeOptions& opt) {
    std::string error;
    const auto record = resolve(opt.target, error);
    if (!record) {
        std::cerr << "Vendrel: " << error << '\n';
        return 2;
    }
    dispatch::MainQueue mainQueue;
    CliView view;
    dispatch::GlobalQueue globalQueue(1);
    AnalysisJob job(globalQueue, mainQueue, view);
    job.start(*record);
    mainQueue.runUntil([&] { return view.result().has_value(); });
    const AnalysisResult& r = *view.result();

    if (opt.json) {
        using nlohmann::json;
        json out = {
            {"name", r.name},
            {"installPath", r.installPath},
            {"mpu_str_DirCount", (*record)->mpu_str_DirCount.get()},
            {"mpu_str_FileCount", (*record)->mpu_str_FileCount.get()},
            {"mpu_str_Size", (*record)->mpu_str_Size.get()},
            {"sizeBytes", r.sizeBytes},
            {"rank", r.rank},
            {"label", std::string(r.difficulty.label)},
            {"removalCommandList", r.commandListInForce},
        };
        if (opt.files) {
            json files = json::array();
            for (const auto& f : job.files())
                files.push_back(
                    {{"FileName", f.FileName}, {"FileSize", f.FileSize}, {"FilePath", f.FilePath}});
            out["files"] = std::move(files);
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
        printTable(job.files());
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
    cmd->callback([opt, &outcome] { outcome.exitCode = analyze(*opt); });
}

}  // namespace vendrel::cli
