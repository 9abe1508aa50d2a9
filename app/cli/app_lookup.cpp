#include "app/cli/app_lookup.h"

#include <iostream>
#include <memory>

#include "app/catalogue/catalogue.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/strings.h"
#include "platform/system.h"

namespace vendrel::cli {
namespace {

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
    auto record = std::make_shared<InstalledApp>();
    record->installPath.set(installPath);
    const auto info = platform::plist::readDictionary(
        platform::appendPathComponent(installPath, "Contents/Info.plist"));
    if (info) {
        if (const auto* v = platform::plist::stringForKey(*info, "CFBundleName"))
            record->name.set(*v);
        else if (const auto* e = platform::plist::stringForKey(*info, "CFBundleExecutable"))
            record->name.set(*e);
        if (const auto* id = platform::plist::stringForKey(*info, "CFBundleIdentifier"))
            record->bundleId.set(*id);
    }
    return record;
}

}  // namespace

std::optional<InstalledAppRef> resolve(const std::string& target, std::string& error) {
    if (!target.empty() && target.front() == '/')
        return recordForPath(target, error);
    if (target.find('/') != std::string::npos) {
        error = "\"" + target + "\" is a relative path; give the install path from \"/\"";
        return std::nullopt;
    }
    Catalogue catalogue;
    catalogue.rebuild(true);
    std::vector<InstalledAppRef> found;
    for (const auto& r : catalogue.apps)
        if (platform::equals65(r->name.get(), target))
            found.push_back(r);
    if (found.empty()) {
        for (const auto& r : catalogue.apps) {
            const std::string folder = platform::lastPathComponent(r->installPath.get());
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
            error += "\n  " + r->installPath.get();
    }
    return std::nullopt;
}

std::optional<InstalledAppRef> resolveOrReport(const std::string& target) {
    std::string error;
    auto record = resolve(target, error);
    if (!record)
        std::cerr << "Vendrel: " << error << '\n';
    return record;
}

CliView::CliView() : tty_(platform::standardErrorIsTerminal()) {}

void CliView::present(const AnalysisResult& result) {
    if (tty_)
        std::cerr << "\r\x1b[K" << std::flush;
    result_ = result;
}

void CliView::status(std::string_view text) {
    if (tty_)
        std::cerr << "\r\x1b[K" << text << std::flush;
}

AnalysisResult analyse(const InstalledAppRef& record, dispatch::MainQueue& mainQueue,
                       FileTable* files) {
    CliView view;
    dispatch::GlobalQueue globalQueue(1);
    AnalysisJob job(globalQueue, mainQueue, view);
    job.start(record);
    mainQueue.runUntil([&] { return view.result().has_value(); });
    if (files)
        *files = job.takeFiles();
    return *view.result();
}

}  // namespace vendrel::cli
