// The catalogue rebuild over 500 application bundles, against the least any catalogue must
// do: read and parse the same 500 Info.plists. Both run in the same process on the same
// warm volume; the medians of interleaved rounds are compared, in wall-clock time and in the
// thread's CPU time (the steadier figure on a machine shared with other work).
//
//   build/bench/bench_catalogue_bench [bundles] [rounds]
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/catalogue/catalogue.h"
#include "platform/fs.h"
#include "platform/plist.h"

namespace {
namespace stdfs = std::filesystem;
namespace plist = vendrel::platform::plist;
using Clock = std::chrono::steady_clock;

// An Info.plist of the size and shape a shipping application carries.
plist::Dictionary infoFor(int i) {
    const std::string name = "Bench App " + std::to_string(i);
    plist::Array types;
    for (int t = 0; t < 4; ++t) {
        types.push_back(plist::Dictionary{
            {"CFBundleTypeName", "Document type " + std::to_string(t)},
            {"CFBundleTypeRole", "Editor"},
            {"LSItemContentTypes", plist::Array{"com.bench.doc" + std::to_string(t)}},
        });
    }
    return {
        {"CFBundleName", name},
        {"CFBundleDisplayName", name},
        {"CFBundleExecutable", "BenchApp" + std::to_string(i)},
        {"CFBundleIdentifier", "com.bench.app" + std::to_string(i)},
        {"CFBundleShortVersionString", std::to_string(i % 9) + ".2." + std::to_string(i % 5)},
        {"CFBundleVersion", std::to_string(1000 + i)},
        {"CFBundleIconFile", i % 2 ? "AppIcon.icns" : "AppIcon"},
        {"CFBundlePackageType", "APPL"},
        {"CFBundleInfoDictionaryVersion", "6.0"},
        {"CFBundleDevelopmentRegion", "en"},
        {"LSMinimumSystemVersion", "10.9"},
        {"NSHighResolutionCapable", true},
        {"NSPrincipalClass", "NSApplication"},
        {"NSHumanReadableCopyright", "Copyright 2024 Bench Corp. All rights reserved."},
        {"CFBundleDocumentTypes", types},
    };
}

double medianMs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int bundles = argc > 1 ? std::atoi(argv[1]) : 500;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 31;

    std::string root = (stdfs::temp_directory_path() / "vendrel-bench-XXXXXX").string();
    if (!::mkdtemp(root.data()))
        return 1;
    ::setenv("VENDREL_ROOT", root.c_str(), 1);
    ::setenv("VENDREL_HOME", "/Users/bench", 1);

    std::vector<std::string> infoPlists;
    for (int i = 0; i < bundles; ++i) {
        const std::string bundle = "/Applications/Bench App " + std::to_string(i) + ".app";
        vendrel::platform::fs::createDirectories(bundle + "/Contents/MacOS");
        vendrel::platform::fs::createDirectories(bundle + "/Contents/Resources");
        plist::writeXmlFile(bundle + "/Contents/Info.plist", infoFor(i));
        vendrel::platform::fs::writeFileAtomically(bundle + "/Contents/Resources/AppIcon.icns",
                                                   std::string(4096, 'i'));
        infoPlists.push_back(bundle + "/Contents/Info.plist");
    }

    vendrel::Catalogue catalogue;
    size_t listed = 0, parsed = 0;
    auto scan = [&] {
        catalogue.rebuild(false);  // as at start-up
        listed = catalogue.apps.size();
    };
    auto bare = [&] {
        parsed = 0;
        for (const auto& path : infoPlists)
            parsed += plist::readDictionary(path).has_value();
    };
    struct Times {
        double wallMs, cpuMs;
    };
    auto cpuNowMs = [] {
        timespec ts{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
    };
    auto time = [&](auto&& f) {
        const auto start = Clock::now();
        const double cpuStart = cpuNowMs();
        f();
        return Times{std::chrono::duration<double, std::milli>(Clock::now() - start).count(),
                     cpuNowMs() - cpuStart};
    };

    scan();  // warm the caches for both
    bare();
    std::vector<double> scanWall, scanCpu, bareWall, bareCpu;
    for (int r = 0; r < rounds; ++r) {
        const Times s = time(scan);
        const Times b = time(bare);
        scanWall.push_back(s.wallMs);
        scanCpu.push_back(s.cpuMs);
        bareWall.push_back(b.wallMs);
        bareCpu.push_back(b.cpuMs);
    }
    stdfs::remove_all(root);

    if (listed != static_cast<size_t>(bundles) || parsed != static_cast<size_t>(bundles)) {
        std::fprintf(stderr, "expected %d bundles, listed %zu, parsed %zu\n", bundles, listed,
                     parsed);
        return 1;
    }
    std::printf("medians of %d rounds                  wall ms   CPU ms\n", rounds);
    std::printf("catalogue rebuild, %4d bundles:     %8.2f %8.2f\n", bundles, medianMs(scanWall),
                medianMs(scanCpu));
    std::printf("read and parse the %4d Info.plists: %8.2f %8.2f\n", bundles, medianMs(bareWall),
                medianMs(bareCpu));
    std::printf("ratio (goal: at most 1.50x):          %7.2fx %7.2fx\n",
                medianMs(scanWall) / medianMs(bareWall), medianMs(scanCpu) / medianMs(bareCpu));
    return 0;
}
