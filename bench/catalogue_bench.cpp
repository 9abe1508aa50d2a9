// The catalogue rebuild over 500 application bundles, against the least any catalogue must
// do: a bare loop that reads each bundle's Info.plist and takes the same five string keys
// out of it with pugixml (XML) or libplist (binary), and nothing else: no size cap, no
// check, no folder listing, no icon lookup. One bundle in four carries a binary list, as
// applications built by other tools do. Both run in the same process on the same warm
// volume; the medians of interleaved rounds are compared, in wall-clock time and in the
// thread's CPU time (the steadier figure on a machine shared with other work).
//
//   build/bench/bench_catalogue_bench [bundles] [rounds]
//   build/bench/bench_catalogue_bench --make <host folder> <bundles>   (the bundles, kept)
//   build/bench/bench_catalogue_bench --bare <host folder>   (the loop once over
//       <host folder>/Applications/*.app: the end-to-end anchor of `list --json`)
#include <fcntl.h>
#include <plist/plist.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <string_view>
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

constexpr std::string_view kKeys[] = {"CFBundleIconFile", "CFBundleName", "CFBundleExecutable",
                                      "CFBundleIdentifier", "CFBundleShortVersionString"};

std::string readWhole(const std::string& hostPath) {
    std::string bytes;
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        bytes.resize(static_cast<size_t>(st.st_size));
        const ssize_t n = ::read(fd, bytes.data(), bytes.size());
        bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
    }
    ::close(fd);
    return bytes;
}

// The five keys of one Info.plist, copied out as the catalogue copies them into its record;
// how many of them were strings.
size_t bareKeys(const std::string& hostPath) {
    const std::string bytes = readWhole(hostPath);
    std::string values[std::size(kKeys)];
    size_t found = 0;
    if (bytes.compare(0, 8, "bplist00") == 0) {
        plist_t root = nullptr;
        plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
        if (!root)
            return 0;
        for (size_t k = 0; k < std::size(kKeys); ++k) {
            plist_t item = plist_dict_get_item(root, std::string(kKeys[k]).c_str());
            if (item && plist_get_node_type(item) == PLIST_STRING) {
                char* text = nullptr;
                plist_get_string_val(item, &text);
                if (text) {
                    values[k] = text;
                    ++found;
                }
                std::free(text);
            }
        }
        plist_free(root);
        return found;
    }
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_ws_pcdata,
                         pugi::encoding_utf8))
        return 0;
    pugi::xml_node key;
    for (pugi::xml_node child : doc.child("plist").child("dict").children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (!key) {
            key = child;
            continue;
        }
        for (size_t k = 0; k < std::size(kKeys); ++k) {
            if (kKeys[k] == key.child_value() && std::string_view(child.name()) == "string") {
                values[k] = child.child_value();
                ++found;
            }
        }
        key = {};
    }
    return found;
}

// libplist's binary form of an XML list.
std::string toBinary(const std::string& xml) {
    plist_t root = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bin, &length);
    std::string out(bin, length);
    std::free(bin);
    plist_free(root);
    return out;
}

double medianMs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--bare" && argc == 3) {
        size_t found = 0;
        for (const auto& entry : stdfs::directory_iterator(std::string(argv[2]) + "/Applications"))
            if (entry.path().extension() == ".app")
                found += bareKeys(entry.path().string() + "/Contents/Info.plist");
        std::printf("%zu keys\n", found);
        return 0;
    }
    const bool makeOnly = mode == "--make" && argc == 4;
    const int bundles = makeOnly ? std::atoi(argv[3]) : argc > 1 ? std::atoi(argv[1]) : 500;
    const int rounds = argc > 2 && !makeOnly ? std::atoi(argv[2]) : 31;

    std::string root = makeOnly ? std::string(argv[2])
                                : (stdfs::temp_directory_path() / "vendrel-bench-XXXXXX").string();
    if (makeOnly)
        stdfs::create_directories(root);
    else if (!::mkdtemp(root.data()))
        return 1;
    ::setenv("VENDREL_ROOT", root.c_str(), 1);
    ::setenv("VENDREL_HOME", "/Users/bench", 1);

    std::vector<std::string> infoPlists;
    for (int i = 0; i < bundles; ++i) {
        const std::string bundle = "/Applications/Bench App " + std::to_string(i) + ".app";
        vendrel::platform::fs::createDirectories(bundle + "/Contents/MacOS");
        vendrel::platform::fs::createDirectories(bundle + "/Contents/Resources");
        const std::string xml = plist::toXml(infoFor(i));
        vendrel::platform::fs::writeFileAtomically(bundle + "/Contents/Info.plist",
                                                   i % 4 == 3 ? toBinary(xml) : xml);
        vendrel::platform::fs::writeFileAtomically(bundle + "/Contents/Resources/AppIcon.icns",
                                                   std::string(4096, 'i'));
        infoPlists.push_back(root + bundle + "/Contents/Info.plist");
    }

    if (makeOnly)
        return 0;

    vendrel::Catalogue catalogue;
    size_t listed = 0, strings = 0;
    auto scan = [&] {
        catalogue.rebuild(false);  // as at start-up
        listed = catalogue.apps.size();
    };
    auto bare = [&] {
        strings = 0;
        for (const auto& path : infoPlists)
            strings += bareKeys(path);
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

    // Every generated list holds the five keys as strings.
    if (listed != static_cast<size_t>(bundles) || strings != 5 * static_cast<size_t>(bundles)) {
        std::fprintf(stderr, "expected %d bundles, listed %zu, read %zu keys\n", bundles, listed,
                     strings);
        return 1;
    }
    std::printf("medians of %d rounds                  wall ms   CPU ms\n", rounds);
    std::printf("catalogue rebuild, %4d bundles:     %8.2f %8.2f\n", bundles, medianMs(scanWall),
                medianMs(scanCpu));
    std::printf("bare loop, 5 keys of %4d Info.plists: %7.2f %8.2f\n", bundles, medianMs(bareWall),
                medianMs(bareCpu));
    std::printf("ratio (goal: at most 1.50x):          %7.2fx %7.2fx\n",
                medianMs(scanWall) / medianMs(bareWall), medianMs(scanCpu) / medianMs(bareCpu));
    return 0;
}
