// Precision and recall of a removal, per location, on the fixture of real applications
// (tests/data/real_apps.json): for each application, a fresh volume with all of them
// installed, the application removed as "remove" does it (bundle to the Trash, the extended
// delete engine, then the leftover finder's findings), and a count of what went.
//
//   build-dev/bench/bench_leftovers_bench [--engine-only] [--verbose] [fixture.json]
//
// "left" is a leftover of the removed application still in place; "taken" is an item of
// another application or a trap that went. Precision = removed / (removed + taken),
// recall = removed / leftovers. The finder's system items are removed as root, as the
// daemon does; the time is the removal's own (engine and finder), without the volume build.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "../tests/support/real_apps.h"
#include "common/extended_delete.h"
#include "common/files.h"
#if __has_include("common/leftover_finder.h")
#include "common/leftover_finder.h"
#define VENDREL_HAS_FINDER 1
#endif

namespace {

namespace stdfs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Counts {
    size_t leftovers = 0, removed = 0, taken = 0;
};

bool exists(const std::string& host) {
    std::error_code ec;
    return stdfs::symlink_status(host, ec).type() != stdfs::file_type::not_found;
}

}  // namespace

int main(int argc, char** argv) {
    bool engineOnly = false;
    bool verbose = false;  // also lists each leftover left in place
    std::string fixture = VENDREL_SOURCE_DIR "/tests/data/real_apps.json";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--engine-only")
            engineOnly = true;
        else if (arg == "--verbose")
            verbose = true;
        else
            fixture = arg;
    }
#ifndef VENDREL_HAS_FINDER
    engineOnly = true;
#endif
    const std::string home = "/Users/bench";
    char tmpl[] = "/tmp/vendrel-leftovers-bench-XXXXXX";
    if (!mkdtemp(tmpl))
        return 1;
    const std::string root = tmpl;
    setenv("VENDREL_HOME", home.c_str(), 1);

    std::map<std::string, Counts> byLocation;
    std::vector<double> millis;
    double buildMillis = 0;
    const auto apps = vendrel::fixture::loadRealApps(fixture, home).apps;
    for (size_t target = 0; target < apps.size(); ++target) {
        // A volume of its own for each removal; all are cleared at the end, outside the times.
        const std::string volumeRoot = tmpl + ("/" + std::to_string(target));
        setenv("VENDREL_ROOT", volumeRoot.c_str(), 1);
        const auto buildStart = Clock::now();
        const auto volume = vendrel::fixture::buildRealAppsVolume(fixture, volumeRoot, home);
        buildMillis += std::chrono::duration<double, std::milli>(Clock::now() - buildStart).count();
        const auto& app = volume.apps[target];

        const auto start = Clock::now();
        vendrel::files::moveToTrash(app.bundle);
#ifdef VENDREL_HAS_FINDER
        std::vector<vendrel::leftovers::Finding> findings;
        if (!engineOnly) {
            const auto ownership = vendrel::leftovers::Ownership::forRemoval(
                app.bundle, app.bundleName, app.identifier);
            findings = vendrel::leftovers::findLeftovers(*ownership);
        }
#endif
        vendrel::extended_delete::run(app.bundle, app.bundleName, app.identifier, std::nullopt,
                                      vendrel::Mode::User);
#ifdef VENDREL_HAS_FINDER
        if (!engineOnly)
            vendrel::leftovers::removeFindings(findings, true);
#endif
        millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());

        for (size_t other = 0; other < volume.apps.size(); ++other) {
            for (const auto& item : volume.apps[other].items) {
                auto& c = byLocation[vendrel::fixture::locationOf(item, home)];
                const bool gone = !exists(volumeRoot + item);
                if (other == target) {
                    ++c.leftovers;
                    c.removed += gone ? 1 : 0;
                    if (!gone && verbose)
                        std::printf("LEFT removing %s: %s\n", app.name.c_str(), item.c_str());
                } else if (gone) {
                    ++c.taken;
                    std::printf("TAKEN removing %s: %s\n", app.name.c_str(), item.c_str());
                }
            }
        }
        for (const auto& item : volume.keep) {
            if (!exists(volumeRoot + item)) {
                ++byLocation[vendrel::fixture::locationOf(item, home)].taken;
                std::printf("TAKEN removing %s: trap %s\n", app.name.c_str(), item.c_str());
            }
        }
    }
    stdfs::remove_all(root);

    std::printf("\n%s, %zu applications\n", engineOnly ? "engine only" : "engine and finder",
                apps.size());
    std::printf("%-52s %9s %8s %6s %6s %10s %8s\n", "location", "leftovers", "removed", "left",
                "taken", "precision", "recall");
    Counts total;
    auto row = [](const std::string& name, const Counts& c) {
        const double precision = c.removed + c.taken == 0
                                     ? 100.0
                                     : 100.0 * double(c.removed) / double(c.removed + c.taken);
        const double recall =
            c.leftovers == 0 ? 100.0 : 100.0 * double(c.removed) / double(c.leftovers);
        std::printf("%-52s %9zu %8zu %6zu %6zu %9.1f%% %7.1f%%\n", name.c_str(), c.leftovers,
                    c.removed, c.leftovers - c.removed, c.taken, precision, recall);
    };
    for (const auto& [location, c] : byLocation) {
        row(location, c);
        total.leftovers += c.leftovers;
        total.removed += c.removed;
        total.taken += c.taken;
    }
    row("all", total);
    std::sort(millis.begin(), millis.end());
    std::printf(
        "\nremoval time per application: median %.1f ms, slowest %.1f ms "
        "(building the volumes: %.0f ms in all)\n",
        millis[millis.size() / 2], millis.back(), buildMillis);
    return 0;
}
