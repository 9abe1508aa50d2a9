// The analysis: the inventory of a bundle, the job that runs the three stages and hands its
// results to the main queue, and the presentation values.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <latch>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

#include "app/analysis/analysis_job.h"
#include "app/analysis/inventory.h"
#include "app/dispatch.h"
#include "common/files.h"
#include "common/request_files.h"
#include "platform/fs.h"
#include "tests/app/analysis_fixture.h"

namespace vendrel {
namespace {

using test::AnalysisVolumeTest;
using test::kRequestFolder;
using test::TempVolume;

constexpr const char* kBundle = "/Applications/Foo.app";

std::vector<std::tuple<std::string, std::string, std::string>> sorted(const FileTable& entries) {
    std::vector<std::tuple<std::string, std::string, std::string>> out;
    for (size_t i = 0; i < entries.size(); ++i)
        out.emplace_back(entries.folder(i), entries.name(i), entries.sizeText(i));
    std::sort(out.begin(), out.end());
    return out;
}

void writeForeignFolderList() {
    request_files::FolderList other;
    other.appName = "Other";
    other.bundleId = "com.other.Other";
    other.installPath = "/Applications/Other.app";
    other.userHome = "/Users/tester";
    ASSERT_TRUE(request_files::writeFolderList(kRequestFolder, other));
}

// ---- Stage 1 ----

using InventoryTest = AnalysisVolumeTest;

TEST_F(InventoryTest, CountsListsSumsAndWritesTheFolderListOnlyForNonZeroTotals) {
    struct Case {
        const char* name;
        void (*build)(const TempVolume&);
        uint64_t dirs, files, total;
        std::vector<std::tuple<std::string, std::string, std::string>> entries;  // sorted
    };
    const std::vector<Case> cases = {
        {"executable and Info.plist: 510 bytes",
         [](const TempVolume& v) {
             v.write("/Applications/Foo.app/Contents/MacOS/Foo", std::string(10, 'x'));
             v.write("/Applications/Foo.app/Contents/Info.plist", std::string(500, 'p'));
         },
         2,
         2,
         510,
         {{"../Contents", "Info.plist", "500 Bytes"}, {"../Contents/MacOS", "Foo", "10 Bytes"}}},
        {"only empty files: listed without size, nothing written",
         [](const TempVolume& v) {
             v.write("/Applications/Foo.app/Contents/PkgInfo", "");
             v.write("/Applications/Foo.app/Contents/Resources/empty", "");
         },
         2,
         2,
         0,
         {{"../Contents", "PkgInfo", ""}, {"../Contents/Resources", "empty", ""}}},
        {"an empty file beside a sized one",
         [](const TempVolume& v) {
             v.write("/Applications/Foo.app/Contents/a", "");
             v.write("/Applications/Foo.app/Contents/b", std::string(1536, 'b'));
         },
         1,
         2,
         1536,
         {{"../Contents", "a", ""}, {"../Contents", "b", "1.50 KB"}}},
        {"links are files of their own size, never followed",
         [](const TempVolume& v) {
             v.write("/Applications/Foo.app/Contents/MacOS/Foo", std::string(10, 'x'));
             v.symlink("MacOS/Foo", "/Applications/Foo.app/Contents/exe");     // 9 bytes
             v.symlink("missing", "/Applications/Foo.app/Contents/dangling");  // 0
             v.symlink("MacOS", "/Applications/Foo.app/Contents/dirlink");     // 5 bytes
         },
         2,
         4,
         24,
         {{"../Contents", "dangling", ""},
          {"../Contents", "dirlink", "5 Bytes"},
          {"../Contents", "exe", "9 Bytes"},
          {"../Contents/MacOS", "Foo", "10 Bytes"}}},
        {"hidden file directly inside the bundle",
         [](const TempVolume& v) { v.write("/Applications/Foo.app/.DS_Store", "abcdef"); },
         0,
         1,
         6,
         {{"..", ".DS_Store", "6 Bytes"}}},
        {"only the first occurrence of the install path is replaced",
         [](const TempVolume& v) {
             v.write("/Applications/Foo.app/Contents/Applications/Foo.app/x", "1");
         },
         3,
         1,
         1,
         {{"../Contents/Applications/Foo.app", "x", "1 Bytes"}}},
        {"folders without files",
         [](const TempVolume& v) { v.mkdir("/Applications/Foo.app/a/b/c"); },
         3,
         0,
         0,
         {}},
        {"vanished bundle", [](const TempVolume&) {}, 0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempVolume v;
        v.mkdir(kRequestFolder);
        c.build(v);
        writeForeignFolderList();

        FileTable list;
        uint64_t dirs = 99, files = 99;
        std::optional<uint64_t> size;
        takeInventory(kBundle, "Foo", "com.foo.Foo", list, dirs, files, size);
        EXPECT_EQ(dirs, c.dirs);
        EXPECT_EQ(files, c.files);
        ASSERT_TRUE(size.has_value());
        EXPECT_EQ(*size, c.total);
        EXPECT_EQ(sorted(list), c.entries);

        request_files::FolderList written;
        const auto status = request_files::readFolderList(kRequestFolder, written);
        if (c.total == 0) {
            // The other application's list is gone, and nothing replaced it.
            EXPECT_EQ(status, request_files::ReadStatus::Missing);
            EXPECT_FALSE(v.exists(request_files::folderListPath(kRequestFolder)));
        } else {
            ASSERT_EQ(status, request_files::ReadStatus::Ok);
            EXPECT_EQ(written.appName, "Foo");
            EXPECT_EQ(written.bundleId, "com.foo.Foo");
            EXPECT_EQ(written.installPath, kBundle);
            EXPECT_EQ(written.userHome, "/Users/tester");
        }
    }
}

TEST_F(InventoryTest, AppendsToTheGivenListInWalkOrder) {
    vol.write("/Applications/Foo.app/Contents/Info.plist", "x");
    FileTable list;
    list.add(list.addFolder(".."), "earlier", 0);
    uint64_t dirs = 0, files = 0;
    std::optional<uint64_t> size;
    takeInventory(kBundle, "Foo", "com.foo.Foo", list, dirs, files, size);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.name(0), "earlier");
    EXPECT_EQ(list.name(1), "Info.plist");
    EXPECT_EQ(list.value("FilePath", 1), "../Contents");
    EXPECT_EQ(list.value("FileSize", 1), "1 Bytes");
    EXPECT_EQ(list.value("FileName", 1), "Info.plist");
    EXPECT_EQ(list.value("Size", 1), std::nullopt);
    EXPECT_EQ(list.value("FileName", 2), std::nullopt);
}

// The table is read with several threads but must list the files exactly as the one-thread
// depth-first walk meets them: a folder's files before and after a subfolder stay on either
// side of that subfolder's contents.
TEST_F(InventoryTest, ListsFilesInTheOneThreadWalkOrder) {
    const std::string root = std::string(kBundle) + "/Contents";
    for (int a = 0; a < 8; ++a) {
        const std::string da = root + "/a" + std::to_string(a);
        vol.write(da + "/first", "1");
        for (int b = 0; b < 5; ++b) {
            const std::string db = da + "/b" + std::to_string(b);
            vol.write(db + "/x", "22");
            vol.write(db + "/deeper/y", "");
            vol.write(da + "/file" + std::to_string(b), "333");
        }
        vol.symlink("first", da + "/link");
        vol.symlink("missing", da + "/dangling");
    }
    std::vector<std::tuple<std::string, std::string, std::string>> expected;
    uint64_t expectedDirs = 0;
    platform::fs::enumerate(kBundle, [&](const platform::fs::WalkEntry& e) {
        if (e.type == platform::fs::FileType::Directory) {
            ++expectedDirs;
        } else {
            const size_t slash = e.path.rfind('/');
            const std::string folder =
                ".." + e.path.substr(std::strlen(kBundle), slash - std::strlen(kBundle));
            expected.emplace_back(folder, e.path.substr(slash + 1), files::fileSizeText(e.path));
        }
        return platform::fs::WalkControl::Continue;
    });

    FileTable list;
    uint64_t dirs = 0, files = 0;
    std::optional<uint64_t> size;
    takeInventory(kBundle, "Foo", "com.foo.Foo", list, dirs, files, size);
    std::vector<std::tuple<std::string, std::string, std::string>> got;
    for (size_t i = 0; i < list.size(); ++i)
        got.emplace_back(list.folder(i), list.name(i), list.sizeText(i));
    EXPECT_EQ(got, expected);
    EXPECT_EQ(dirs, expectedDirs);
    EXPECT_EQ(files, expected.size());
}

TEST_F(InventoryTest, ReportsCountsThatNeverDecreaseAndEndAtTheTotals) {
    for (int d = 0; d < 6; ++d) {
        vol.mkdir("/Applications/Foo.app/Contents/empty" + std::to_string(d));
        for (int f = 0; f < 5; ++f)
            vol.write(
                "/Applications/Foo.app/Contents/d" + std::to_string(d) + "/f" + std::to_string(f),
                "z");
    }
    std::vector<std::pair<uint64_t, uint64_t>> calls;
    FileTable list;
    uint64_t dirs = 0, files = 0;
    std::optional<uint64_t> size;
    takeInventory(kBundle, "Foo", "com.foo.Foo", list, dirs, files, size,
                  [&](uint64_t d, uint64_t f) { calls.emplace_back(d, f); });
    EXPECT_EQ(dirs, 13u);
    EXPECT_EQ(files, 30u);
    ASSERT_FALSE(calls.empty());
    EXPECT_LE(calls.size(), 30u);  // coalesced: never more than one per file
    EXPECT_EQ(calls.back(), std::make_pair(dirs, files));
    for (size_t i = 1; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(calls[i].first, calls[i - 1].first);
        EXPECT_GE(calls[i].second, calls[i - 1].second);
    }
}

// ---- Presentation values ----

TEST(AnalysisPresentation, RankLabelsColoursAndLines) {
    struct Row {
        uint64_t rank;
        const char* label;
        double green;
        bool systemRed;
    };
    const Row rows[] = {
        {0, "Easy", 0.46875, false},  {1, "Easy", 0.46875, false},  {2, "Easy", 0.46875, false},
        {3, "Normal", 0.3125, false}, {5, "Normal", 0.3125, false}, {6, "Hard", 0.15625, false},
        {8, "Hard", 0.15625, false},  {9, "Diffcult", 0, true},     {37, "Diffcult", 0, true},
        {255, "Diffcult", 0, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.rank);
        const DifficultyStyle s = difficultyStyle(r.rank);
        EXPECT_EQ(s.label, r.label);
        EXPECT_EQ(s.colour.systemRed, r.systemRed);
        if (!r.systemRed) {
            EXPECT_EQ(s.colour.red, 1.0);
            EXPECT_EQ(s.colour.green, r.green);
            EXPECT_EQ(s.colour.blue, 0.0);
        }
        EXPECT_EQ(difficultyLine(r.rank), "Uninstall Difficulty: " + std::string(r.label) + "(" +
                                              std::to_string(r.rank) + ")");
    }
    EXPECT_EQ(totalsLine(2, 2, 510), "Folders: 2   Files: 2   Size: 510 Bytes");
    EXPECT_EQ(totalsLine(0, 0, 0), "Folders: 0   Files: 0   Size: 0 Bytes");
    EXPECT_EQ(progressCountsLine(3, 41), "Folders: 3  Files: 41");
}

// ---- The job ----

// Records what the job shows, in the order the main queue delivers it.
class RecordingView : public AnalysisView {
  public:
    explicit RecordingView(const AnalysisJob* const* job = nullptr) : job_(job) {}
    void showStageLine(std::string_view t) override { events.push_back("stage:" + std::string(t)); }
    void showCountsLine(std::string_view t) override {
        events.push_back("counts:" + std::string(t));
    }
    void resultListChanged() override {
        events.push_back("rows:" + std::to_string(job_ && *job_ ? (*job_)->numberOfRows() : 0));
    }
    void present(const AnalysisResult& r) override {
        events.push_back("present");
        results.push_back(r);
    }
    std::vector<std::string> events;
    std::vector<AnalysisResult> results;

  private:
    const AnalysisJob* const* job_;
};

// Events with every run of progress counts lines folded into one "counts:..." (the last).
std::vector<std::string> folded(const std::vector<std::string>& events) {
    std::vector<std::string> out;
    for (const auto& e : events) {
        const bool progress = e.rfind("counts:Folders:", 0) == 0;
        if (progress && !out.empty() && out.back().rfind("counts:Folders:", 0) == 0)
            out.back() = e;
        else
            out.push_back(e);
    }
    return out;
}

InstalledAppRef makeRecord(const std::string& path, const std::string& name,
                           const std::string& publisher) {
    auto r = std::make_shared<InstalledApp>();
    r->installPath.set(path);
    r->name.set(name);
    r->bundleId.set(publisher);
    return r;
}

class AnalysisJobTest : public AnalysisVolumeTest {
  protected:
    AnalysisJobTest() : view(&jobPtr), job(global, mainQueue, view) { jobPtr = &job; }

    bool runToPresentation(size_t presentations = 1) {
        return mainQueue.runUntil([&] { return view.results.size() >= presentations; },
                                  std::chrono::seconds(60));
    }

    dispatch::MainQueue mainQueue;
    dispatch::GlobalQueue global{2};
    const AnalysisJob* jobPtr = nullptr;
    RecordingView view;
    AnalysisJob job;
};

TEST_F(AnalysisJobTest, RunsTheStagesInOrderAndStoresTheMeasuresInTheRecord) {
    vol.write("/Applications/Foo.app/Contents/MacOS/Foo", std::string(10, 'x'));
    vol.write("/Applications/Foo.app/Contents/Info.plist", std::string(500, 'p'));
    auto record = makeRecord(kBundle, "Foo", "com.foo.Foo");
    record->icon.set(Image{"/icons/workspace"});
    record->largeIcon.set(Image{"/Applications/Foo.app/Contents/Resources/Foo.icns"});

    ASSERT_EQ(job.start(record), AnalysisJob::Start::Started);
    ASSERT_TRUE(runToPresentation());

    const std::vector<std::string> expected = {
        "stage:Analyzing in the 1nd stage...", "rows:0",
        "counts:Folders: 2  Files: 2",         "rows:2",
        "stage:Analyzing in the 2nd stage...", "counts:The removal database is being loaded...",
        "stage:Analyzing in the 3nd stage...", "present",
    };
    EXPECT_EQ(folded(view.events), expected);

    const AnalysisResult& r = view.results.front();
    EXPECT_EQ(r.totalsLine, "Folders: 2   Files: 2   Size: 510 Bytes");
    EXPECT_EQ(r.rank, 1u);
    EXPECT_EQ(r.difficultyLine, "Uninstall Difficulty: Easy(1)");
    EXPECT_EQ(r.name, "Foo");
    ASSERT_TRUE(r.icon.has_value());
    EXPECT_EQ(r.icon->path, "/Applications/Foo.app/Contents/Resources/Foo.icns");
    EXPECT_FALSE(r.commandListInForce);

    EXPECT_EQ(record->sizeText.get(), "510 Bytes");
    EXPECT_EQ(record->folderCount.get(), "2");
    EXPECT_EQ(record->fileCount.get(), "2");

    ASSERT_EQ(job.numberOfRows(), 2u);
    std::vector<std::string> paths;
    for (size_t row = 0; row < 2; ++row)
        paths.push_back(*job.objectValue("FilePath", row));
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"../Contents", "../Contents/MacOS"}));
    EXPECT_EQ(job.objectValue("FileName", 2), std::nullopt);

    request_files::FolderList written;
    EXPECT_EQ(request_files::readFolderList(kRequestFolder, written),
              request_files::ReadStatus::Ok);
    EXPECT_EQ(written.installPath, kBundle);
}

TEST_F(AnalysisJobTest, AVanishedBundleStillCompletesWithEmptyResultsAndNoFolderList) {
    writeForeignFolderList();
    auto record = makeRecord("/Applications/Gone.app", "Gone", "com.gone.Gone");
    record->icon.set(Image{"/icons/generic"});
    ASSERT_EQ(job.start(record), AnalysisJob::Start::Started);
    ASSERT_TRUE(runToPresentation());

    const AnalysisResult& r = view.results.front();
    EXPECT_EQ(r.totalsLine, "Folders: 0   Files: 0   Size: 0 Bytes");
    EXPECT_EQ(r.difficultyLine, "Uninstall Difficulty: Easy(1)");
    ASSERT_TRUE(r.icon.has_value());
    EXPECT_EQ(r.icon->path, "/icons/generic");
    EXPECT_EQ(job.numberOfRows(), 0u);
    EXPECT_EQ(record->sizeText.get(), "0 Bytes");
    EXPECT_EQ(record->fileCount.get(), "0");
    EXPECT_FALSE(vol.exists(request_files::folderListPath(kRequestFolder)));
    // No file, so no progress line; stages 2 and 3 still ran.
    EXPECT_EQ(
        std::count(view.events.begin(), view.events.end(), "stage:Analyzing in the 3nd stage..."),
        1);
}

TEST_F(AnalysisJobTest, ProgressShownOnTheMainQueueNeverGoesBackAndEndsExact) {
    for (int d = 0; d < 40; ++d)
        for (int f = 0; f < 25; ++f)
            vol.write(
                "/Applications/Foo.app/Contents/d" + std::to_string(d) + "/f" + std::to_string(f),
                "q");
    // The main thread drains while the job walks, as the desktop event loop would.
    ASSERT_EQ(job.start(makeRecord(kBundle, "Foo", "com.foo.Foo")), AnalysisJob::Start::Started);
    ASSERT_TRUE(runToPresentation());

    std::vector<std::pair<unsigned long, unsigned long>> shown;
    for (const auto& e : view.events) {
        unsigned long d = 0, f = 0;
        if (std::sscanf(e.c_str(), "counts:Folders: %lu  Files: %lu", &d, &f) == 2)
            shown.emplace_back(d, f);
    }
    ASSERT_FALSE(shown.empty());
    for (size_t i = 1; i < shown.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(shown[i].first, shown[i - 1].first);
        EXPECT_GE(shown[i].second, shown[i - 1].second);
    }
    EXPECT_EQ(shown.back(), std::make_pair(41ul, 1000ul));
    EXPECT_LE(shown.size(), 1000u);
}

// Presses from many threads while jobs run: jobs never overlap. On the main queue each
// job's updates, from its stage-1 line to its presentation, form one unbroken run; an
// overlapping second job would show its own stage line or emptied list inside that run.
TEST_F(AnalysisJobTest, PressesFromManyThreadsNeverOverlapTwoJobs) {
    for (int f = 0; f < 200; ++f)
        vol.write("/Applications/Foo.app/Contents/Resources/f" + std::to_string(f), "data");
    auto record = makeRecord(kBundle, "Foo", "com.foo.Foo");

    constexpr int kThreads = 6;
    constexpr int kJobs = 4;
    std::atomic<int> started{0}, refused{0};
    std::atomic<bool> stop{false};
    {
        std::latch go(kThreads);
        std::vector<std::jthread> pressers;
        for (int i = 0; i < kThreads; ++i)
            pressers.emplace_back([&] {
                go.arrive_and_wait();
                while (!stop.load() && started.load() < kJobs) {
                    if (job.start(record) == AnalysisJob::Start::Started)
                        ++started;
                    else
                        ++refused;
                    std::this_thread::yield();
                }
            });
        // The main thread keeps draining, as the desktop event loop would.
        EXPECT_TRUE(mainQueue.runUntil([&] { return view.results.size() >= kJobs; },
                                       std::chrono::seconds(120)));
        stop = true;
    }
    job.waitUntilIdle();
    mainQueue.drain();
    EXPECT_GT(refused.load(), 0);
    ASSERT_EQ(view.results.size(), static_cast<size_t>(started.load()));

    bool inJob = false;
    for (size_t i = 0; i < view.events.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string& e = view.events[i];
        if (e == "stage:Analyzing in the 1nd stage...") {
            EXPECT_FALSE(inJob) << "a job started inside another";
            inJob = true;
        } else if (e == "present") {
            EXPECT_TRUE(inJob);
            inJob = false;
        } else {
            EXPECT_TRUE(inJob) << e << " outside any job";
        }
        if (e == "rows:0") {
            // The list is emptied once per job, right after its stage-1 line.
            ASSERT_GT(i, 0u);
            EXPECT_EQ(view.events[i - 1], "stage:Analyzing in the 1nd stage...");
        }
    }
    for (const auto& r : view.results)
        EXPECT_EQ(r.files, 200u);
}

// A job held in stage 2 by the server stand-in, which never answers the request: presses
// from other threads start nothing and send nothing; once the job has ended, the next press
// runs.
TEST_F(AnalysisJobTest, PressesWhileAJobWaitsForTheServerStartNothing) {
    const std::string databasePath = "/qd_default_update_rw/removal_database/foo.app.txt";
    vol.write("/Applications/Foo.app/Contents/Info.plist", "plist");
    test::TestServer holding(test::TestServer::Options().hang(databasePath));
    auto record = makeRecord(kBundle, "Foo", "com.foo.Foo");

    ASSERT_EQ(job.start(record), AnalysisJob::Start::Started);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (holding.requestedPaths().empty()) {
        if (!job.isRunning())
            GTEST_SKIP() << "the removal database client made no request";
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(job.isRunning());
    std::atomic<int> started{0};
    {
        std::latch go(4);
        std::vector<std::jthread> threads;
        for (int i = 0; i < 4; ++i)
            threads.emplace_back([&] {
                go.arrive_and_wait();
                if (job.start(record) == AnalysisJob::Start::Started)
                    ++started;
            });
    }
    EXPECT_EQ(started.load(), 0);
    EXPECT_EQ(holding.requestedPaths(), std::vector<std::string>{databasePath});

    holding.stop();  // the held request fails; the job goes on to stage 3
    ASSERT_TRUE(runToPresentation());
    job.waitUntilIdle();
    mainQueue.drain();
    EXPECT_EQ(view.results.size(), 1u);

    ASSERT_EQ(job.start(record), AnalysisJob::Start::Started);
    ASSERT_TRUE(runToPresentation(2));
}

TEST_F(AnalysisJobTest, NothingStartsWithoutASelection) {
    EXPECT_EQ(job.start(nullptr), AnalysisJob::Start::NoSelection);
    EXPECT_FALSE(job.isRunning());
    EXPECT_EQ(mainQueue.pending(), 0u);
}

// ---- Queues ----

TEST(DispatchQueues, MainQueueKeepsEachProducersOrderAndGlobalQueueFinishesItsTasks) {
    dispatch::MainQueue mainQueue;
    std::vector<std::pair<int, int>> seen;  // main thread only
    std::atomic<int> done{0};
    {
        dispatch::GlobalQueue global(3);
        for (int p = 0; p < 3; ++p)
            global.async([&, p] {
                for (int i = 0; i < 200; ++i)
                    mainQueue.async([&, p, i] { seen.emplace_back(p, i); });
                ++done;
            });
    }  // the destructor waits for the three producers
    EXPECT_EQ(done.load(), 3);
    EXPECT_EQ(mainQueue.drain(), 600u);
    std::vector<int> next(3, 0);
    for (const auto& [p, i] : seen) {
        SCOPED_TRACE(p);
        EXPECT_EQ(i, next[p]++);
    }
}

}  // namespace
}  // namespace vendrel
