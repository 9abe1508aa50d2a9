// One full user-mode sweep of the extended delete engine (every step, the per-user
// temporary-folder walk included) against the bare cost of reading the same folders: plain
// opendir/readdir of every folder the sweep lists (the temporary-folder tree walked by
// d_type), in the same run, on a volume whose library folders hold 50,000 entries.
//
//   build/bench/bench_sweep_bench [entries]
//
// The volume is laid out like a well-used Mac: thousands of caches, preferences,
// containers and receipts, a few hundred launchd jobs (each a real property list, which the
// launchd-by-path steps must read), and a per-user temporary tree several levels deep.
// Nothing in it matches the swept application, so every run sees the same volume.
#include <dirent.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/extended_delete.h"
#include "platform/plist.h"

namespace {

namespace stdfs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kHome = "/Users/bench";

struct Share {
    std::string folder;  // logical
    double weight;       // share of the entries
    bool folders;        // entries are folders (else files)
};

const std::vector<Share> kShares = {
    {kHome + "/Library/Caches", 0.16, true},
    {"/Library/Caches", 0.06, true},
    {kHome + "/Library/Preferences", 0.12, false},
    {"/Library/Preferences", 0.04, false},
    {kHome + "/Library/Containers", 0.08, true},
    {kHome + "/Library/Group Containers", 0.03, true},
    {kHome + "/Library/Saved Application State", 0.06, true},
    {kHome + "/Library/Cookies", 0.03, false},
    {"/private/var/db/receipts", 0.12, false},
    {kHome + "/Library/Application Support", 0.08, true},
    {"/Library/Application Support", 0.04, true},
    {kHome + "/Library/Application Support/com.apple.sharedfilelist/"
             "com.apple.LSSharedFileList.ApplicationRecentDocuments",
     0.02, false},
};
// Launchd jobs per folder (real property lists) and the temporary tree's share.
const std::vector<std::pair<std::string, int>> kJobs = {{"/Library/LaunchAgents", 120},
                                                        {kHome + "/Library/LaunchAgents", 40},
                                                        {"/Library/LaunchDaemons", 160},
                                                        {kHome + "/Library/LaunchDaemons", 10}};
constexpr double kTemporaryShare = 0.16;

void touch(const std::string& host) {
    std::ofstream(host).put('x');
}

size_t populate(const std::string& root, size_t total) {
    size_t made = 0;
    for (const auto& share : kShares) {
        const std::string dir = root + share.folder;
        stdfs::create_directories(dir);
        const auto n = static_cast<size_t>(static_cast<double>(total) * share.weight);
        for (size_t i = 0; i < n; ++i, ++made) {
            const std::string path = dir + "/com.vendor" + std::to_string(i % 997) + ".product" +
                                     std::to_string(i) + (share.folders ? "" : ".plist");
            if (share.folders)
                stdfs::create_directory(path);
            else
                touch(path);
        }
    }
    for (const auto& [folder, count] : kJobs) {
        stdfs::create_directories(root + folder);
        for (int i = 0; i < count; ++i, ++made) {
            using namespace vendrel::platform::plist;
            const std::string label = "com.vendor" + std::to_string(i) + ".agent";
            Dictionary job{{"Label", label},
                           {"ProgramArguments", Array{"/Applications/Vendor " + std::to_string(i) +
                                                          ".app/Contents/MacOS/agent",
                                                      "--background"}},
                           {"RunAtLoad", true}};
            std::ofstream(root + folder + "/" + label + ".plist") << toXml(Value(job));
        }
    }
    // /private/var/folders/vd/<user>/<id>/{C,T,0}/<entries>, with a nested level in C.
    const auto temporary = static_cast<size_t>(static_cast<double>(total) * kTemporaryShare);
    const size_t users = 8, perUser = temporary / users;
    for (size_t u = 0; u < users; ++u) {
        const std::string base = root + "/private/var/folders/vd/u" + std::to_string(u) + "/x" +
                                 std::to_string(u * 7919);
        for (const char* sub : {"/C", "/T", "/0"})
            stdfs::create_directories(base + sub);
        for (size_t i = 0; i < perUser; ++i, ++made) {
            const std::string name = "com.vendor" + std::to_string(i) + ".helper";
            if (i % 3 == 0) {
                stdfs::create_directories(base + "/C/" + name + "/com.apple.metal");
            } else if (i % 3 == 1) {
                touch(base + "/T/" + name + ".tmp");
            } else {
                stdfs::create_directory(base + "/0/" + name);
            }
        }
    }
    return made;
}

// The bare cost: every folder the sweep lists, read once with readdir.
size_t readFolder(const std::string& host, bool deep) {
    DIR* d = ::opendir(host.c_str());
    if (!d)
        return 0;
    size_t n = 0;
    std::vector<std::string> subfolders;
    while (dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.' && (!e->d_name[1] || (e->d_name[1] == '.' && !e->d_name[2])))
            continue;
        ++n;
        if (deep && e->d_type == DT_DIR)
            subfolders.push_back(host + "/" + e->d_name);
    }
    ::closedir(d);
    for (const auto& sub : subfolders)
        n += readFolder(sub, true);
    return n;
}

size_t baseline(const std::string& root) {
    size_t n = 0;
    for (const auto& share : kShares)
        n += readFolder(root + share.folder, false);
    for (const auto& job : kJobs)
        n += readFolder(root + job.first, false);
    n += readFolder(root + "/private/var/folders/vd", true);
    return n;
}

void sweep() {
    vendrel::extended_delete::run("/Applications/Bench Notes.app", "Bench Notes",
                                  "com.benchmark.notes", std::nullopt, vendrel::Mode::User);
}

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

// The volume of the benchmark kept for an end-to-end run, with the application the sweep
// looks for; prints the host folders the baseline reads, one a line.
int make(const std::string& root, size_t total) {
    populate(root, total);
    using namespace vendrel::platform::plist;
    const std::string bundle = root + "/Applications/Bench Notes.app/Contents";
    stdfs::create_directories(bundle + "/MacOS");
    std::ofstream(bundle + "/Info.plist") << toXml(Value(Dictionary{
        {"CFBundleName", "Bench Notes"}, {"CFBundleIdentifier", "com.benchmark.notes"}}));
    for (const auto& share : kShares)
        std::printf("%s%s\n", root.c_str(), share.folder.c_str());
    for (const auto& job : kJobs)
        std::printf("%s%s\n", root.c_str(), job.first.c_str());
    std::printf("%s/private/var/folders/vd\n", root.c_str());
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--make")
        return make(argv[2], std::stoul(argv[3]));
    const size_t total = argc > 1 ? std::stoul(argv[1]) : 50000;
    std::string tmpl = (stdfs::temp_directory_path() / "vendrel-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        return 1;
    const std::string root = tmpl;
    ::setenv("VENDREL_ROOT", root.c_str(), 1);
    ::setenv("VENDREL_HOME", kHome.c_str(), 1);
    const size_t made = populate(root, total);

    // Warm the caches once, then alternate the two and keep the median of each.
    baseline(root);
    sweep();
    constexpr int kRounds = 7;
    std::vector<double> bare, full;
    size_t listed = 0;
    for (int i = 0; i < kRounds; ++i) {
        auto t0 = Clock::now();
        listed = baseline(root);
        auto t1 = Clock::now();
        sweep();
        auto t2 = Clock::now();
        bare.push_back(seconds(t1 - t0));
        full.push_back(seconds(t2 - t1));
    }
    std::sort(bare.begin(), bare.end());
    std::sort(full.begin(), full.end());
    const double b = bare[kRounds / 2], f = full[kRounds / 2];
    std::printf("volume: %zu entries made, %zu listed by readdir\n", made, listed);
    std::printf("readdir of the same folders: %8.2f ms (median of %d)\n", b * 1e3, kRounds);
    std::printf("full user-mode sweep:        %8.2f ms (median of %d)\n", f * 1e3, kRounds);
    std::printf("ratio sweep / readdir:       %8.2f (goal: at most 2.00)\n", f / b);
    std::error_code ec;
    stdfs::remove_all(root, ec);
    return 0;
}
