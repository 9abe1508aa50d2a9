// Stage 1 of the analysis (the inventory, with its per-file progress coalesced onto a main
// queue that a second thread drains, the file table kept, and the folder list written)
// against the limit of the machine: a bare walker with one thread per processor, getdents64
// with dirfd-relative statx, no stat for folders known by d_type, counting folders, files and
// bytes and nothing else. Same bundle, same run, warm cache. Also prints how much the peak
// resident size grows during the first inventory, per file.
//
//   bench_analysis_bench [files=200000] [folders=20000] [rounds=5]
//   bench_analysis_bench --make <host folder> <files> <folders>   (the same bundle, kept)
//   bench_analysis_bench --walk <host folder>    (one bare walk: the end-to-end anchor)
//
// Prints the median and the best time of each, and their ratios. On a busy machine the
// best times are the steadier figure.
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/analysis/analysis_job.h"
#include "app/analysis/inventory.h"
#include "app/dispatch.h"

namespace {

struct Counts {
    uint64_t dirs = 0, files = 0, bytes = 0;
    bool operator==(const Counts&) const = default;
};

struct Dirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[256];  // as long as d_reclen says; only read up to its NUL
};

// The limit of the machine: as many threads as processors share a stack of folders; each
// folder is opened relative to its parent's descriptor, read with getdents64, and every
// non-folder entry gets one statx (type and size only). It counts and keeps nothing else.
class BareWalker {
  public:
    explicit BareWalker(unsigned threads) : threads_(threads) {}

    Counts run(const std::string& hostPath) {
        const int fd = ::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return {};
        stack_.push_back({std::make_shared<Fd>(fd), "."});
        busy_ = 0;
        dirs_ = files_ = bytes_ = 0;
        std::vector<std::thread> helpers;
        for (unsigned i = 1; i < threads_; ++i)
            helpers.emplace_back([this] { work(); });
        work();
        for (auto& t : helpers)
            t.join();
        return {dirs_.load(), files_.load(), bytes_.load()};
    }

  private:
    struct Fd {
        int fd;
        explicit Fd(int f) : fd(f) {}
        ~Fd() { ::close(fd); }
    };
    struct Task {
        std::shared_ptr<Fd> parent;
        std::string name;
    };

    void work() {
        alignas(8) static thread_local char buf[64 * 1024];
        std::vector<Task> more;
        for (;;) {
            Task task;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [&] { return !stack_.empty() || busy_ == 0; });
                if (stack_.empty())
                    return;
                task = std::move(stack_.back());
                stack_.pop_back();
                ++busy_;
            }
            const int fd = ::openat(task.parent->fd, task.name.c_str(),
                                    O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            task.parent.reset();
            if (fd >= 0) {
                auto self = std::make_shared<Fd>(fd);
                uint64_t d = 0, f = 0, b = 0;
                for (;;) {
                    const long n = ::syscall(SYS_getdents64, fd, buf, sizeof buf);
                    if (n <= 0)
                        break;
                    for (long off = 0; off < n;) {
                        auto* e = reinterpret_cast<Dirent64*>(buf + off);
                        off += e->d_reclen;
                        const char* nm = e->d_name;
                        if (nm[0] == '.' && (nm[1] == 0 || (nm[1] == '.' && nm[2] == 0)))
                            continue;
                        bool dir = e->d_type == DT_DIR;
                        if (!dir) {
                            struct statx st {};
                            if (::statx(fd, nm, AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_SIZE,
                                        &st) != 0)
                                continue;
                            dir = S_ISDIR(st.stx_mode);
                            if (!dir) {
                                ++f;
                                b += st.stx_size;
                            }
                        }
                        if (dir) {
                            ++d;
                            more.push_back({self, nm});
                        }
                    }
                }
                dirs_ += d;
                files_ += f;
                bytes_ += b;
            }
            {
                std::lock_guard lock(mutex_);
                for (auto& t : more)
                    stack_.push_back(std::move(t));
                --busy_;
            }
            more.clear();
            ready_.notify_all();
        }
    }

    unsigned threads_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<Task> stack_;
    unsigned busy_ = 0;
    std::atomic<uint64_t> dirs_{0}, files_{0}, bytes_{0};
};

Counts bare(const std::string& hostPath) {
    return BareWalker(std::max(1u, std::thread::hardware_concurrency())).run(hostPath);
}

// The process's peak resident size so far, in bytes.
uint64_t peakResident() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return 0;
    char line[256];
    uint64_t kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %lu kB", &kb) == 1)
            break;
    std::fclose(f);
    return kb * 1024;
}

// Stage 1 as the analysis job runs it: on a worker, progress coalesced onto the main queue,
// which this thread drains and formats as the progress window would.
Counts inventory(const std::string& logical, size_t& refreshes) {
    vendrel::dispatch::MainQueue mainQueue;
    std::string shown;
    refreshes = 0;
    vendrel::CoalescedProgress progress(mainQueue, [&](uint64_t d, uint64_t f) {
        shown = vendrel::progressCountsLine(d, f);
        ++refreshes;
    });
    Counts c;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        vendrel::FileTable list;
        std::optional<uint64_t> size;
        vendrel::takeInventory(logical, "Big", "com.example.Big", list, c.dirs, c.files, size,
                               [&](uint64_t d, uint64_t f) { progress.report(d, f); });
        progress.flush();
        c.bytes = size.value_or(0);
        mainQueue.async([&] { done = true; });
    });
    mainQueue.runUntil([&] { return done.load(); });
    worker.join();
    mainQueue.drain();
    return c;
}

void generate(const std::string& bundleHost, long files, long folders) {
    // Two levels: `groups` folders, each holding its share of the leaf folders; files are
    // spread over the leaves, with sizes from 0 to 8191 bytes (sparse).
    const long groups = std::max(1L, folders / 200);
    const long leaves = std::max(1L, folders - groups);
    std::filesystem::create_directories(bundleHost);
    std::vector<std::string> leafPaths;
    for (long l = 0; l < leaves; ++l) {
        const std::string g = bundleHost + "/g" + std::to_string(l % groups);
        if (l < groups)
            ::mkdir(g.c_str(), 0755);
        leafPaths.push_back(g + "/leaf" + std::to_string(l));
        ::mkdir(leafPaths.back().c_str(), 0755);
    }
    uint64_t seed = 42;
    for (long i = 0; i < files; ++i) {
        const std::string p =
            leafPaths[static_cast<size_t>(i % leaves)] + "/file" + std::to_string(i);
        const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            continue;
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        if (::ftruncate(fd, static_cast<off_t>((seed >> 33) % 8192)) != 0)
            std::perror("ftruncate");
        ::close(fd);
    }
}

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--make" && argc == 5) {
        generate(argv[2], std::atol(argv[3]), std::atol(argv[4]));
        return 0;
    }
    if (mode == "--walk" && argc == 3) {
        const Counts c = bare(argv[2]);
        std::printf("%lu folders, %lu files, %lu bytes\n", (unsigned long)c.dirs,
                    (unsigned long)c.files, (unsigned long)c.bytes);
        return 0;
    }
    const long files = argc > 1 ? std::atol(argv[1]) : 200000;
    const long folders = argc > 2 ? std::atol(argv[2]) : 20000;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;

    std::string root = (std::filesystem::temp_directory_path() / "vendrel-bench-XXXXXX").string();
    if (!::mkdtemp(root.data()))
        return 1;
    ::setenv("VENDREL_ROOT", root.c_str(), 1);
    ::setenv("VENDREL_HOME", "/Users/bench", 1);
    ::setenv("VENDREL_APP_BUNDLE", "/Applications/Vendrel.app", 1);
    std::filesystem::create_directories(root + "/Applications/Vendrel.app/Contents");
    const std::string logical = "/Applications/Big.app";
    const std::string host = root + logical;

    std::printf("generating %ld files in %ld folders under %s ...\n", files, folders, host.c_str());
    generate(host, files, folders);

    size_t refreshes = 0;
    const Counts expected = bare(host);  // also warms the cache
    // The first inventory also measures memory: the peak grows by what the walk and the table
    // hold at their largest (the table is freed when the inventory returns).
    const uint64_t peakBefore = peakResident();
    const Counts warm = inventory(logical, refreshes);
    const uint64_t peakAfter = peakResident();
    if (!(warm == expected)) {
        std::fprintf(stderr, "counts differ: bare %lu/%lu/%lu, inventory %lu/%lu/%lu\n",
                     (unsigned long)expected.dirs, (unsigned long)expected.files,
                     (unsigned long)expected.bytes, (unsigned long)warm.dirs,
                     (unsigned long)warm.files, (unsigned long)warm.bytes);
        return 1;
    }
    std::vector<double> tBare, tInventory;
    // Alternate which one goes first, so neither profits from the other's cache warming.
    for (int r = 0; r < rounds; ++r) {
        for (int k = 0; k < 2; ++k) {
            const bool inventoryTurn = (r + k) % 2 == 1;
            const auto t0 = std::chrono::steady_clock::now();
            const Counts c = inventoryTurn ? inventory(logical, refreshes) : bare(host);
            const auto t1 = std::chrono::steady_clock::now();
            if (!(c == expected))
                return 1;
            (inventoryTurn ? tInventory : tBare).push_back(seconds(t1 - t0));
        }
    }
    const double mb = median(tBare), mi = median(tInventory);
    const double fb = *std::min_element(tBare.begin(), tBare.end());
    const double fi = *std::min_element(tInventory.begin(), tInventory.end());
    std::printf("%lu folders, %lu files, %lu bytes\n", (unsigned long)expected.dirs,
                (unsigned long)expected.files, (unsigned long)expected.bytes);
    std::printf(
        "bare walker (%u threads, getdents64 + statx): median %.3f s, best %.3f s (%d rounds)\n",
        std::max(1u, std::thread::hardware_concurrency()), mb, fb, rounds);
    std::printf(
        "inventory with progress:           median %.3f s, best %.3f s (%zu screen "
        "refreshes in the last round)\n",
        mi, fi, refreshes);
    std::printf("ratio: %.2fx (medians), %.2fx (best)\n", mi / mb, fi / fb);
    std::printf("inventory peak memory: %.1f MiB more, %.1f bytes per file\n",
                static_cast<double>(peakAfter - peakBefore) / (1024.0 * 1024.0),
                static_cast<double>(peakAfter - peakBefore) /
                    static_cast<double>(std::max<uint64_t>(1, expected.files)));

    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return 0;
}
