#include "app/analysis/analysis_job.h"

#include <future>

#include "app/analysis/difficulty.h"
#include "app/analysis/removal_database.h"
#include "common/files.h"
#include "platform/clock.h"

namespace vendrel {

DifficultyStyle difficultyStyle(uint64_t rank) {
    if (rank <= 2)
        return {"Easy", {1.0, 0.46875, 0.0, false}};
    if (rank <= 5)
        return {"Normal", {1.0, 0.3125, 0.0, false}};
    if (rank <= 8)
        return {"Hard", {1.0, 0.15625, 0.0, false}};
    return {"Diffcult", {1.0, 0.23, 0.19, true}};
}

std::string progressCountsLine(uint64_t dirs, uint64_t files) {
    return "Folders: " + std::to_string(dirs) + "  Files: " + std::to_string(files);
}

std::string totalsLine(uint64_t dirs, uint64_t files, uint64_t sizeBytes) {
    return "Folders: " + std::to_string(dirs) + "   Files: " + std::to_string(files) +
           "   Size: " + files::sizeText(sizeBytes);
}

std::string difficultyLine(uint64_t rank) {
    return "Uninstall Difficulty: " + std::string(difficultyStyle(rank).label) + "(" +
           std::to_string(rank) + ")";
}

void CoalescedProgress::report(uint64_t dirs, uint64_t files) {
    {
        std::lock_guard lock(mutex_);
        dirs_ = dirs;
        files_ = files;
        unshown_ = true;
    }
    if (queued_.load())
        return;  // the pending refresh will read these counts
    const auto now = std::chrono::steady_clock::now();
    if (now - lastQueued_ < kMinInterval)
        return;  // a later report or flush() shows them
    lastQueued_ = now;
    queueRefresh();
}

void CoalescedProgress::flush() {
    {
        std::lock_guard lock(mutex_);
        if (!unshown_)
            return;
    }
    queueRefresh();
}

void CoalescedProgress::queueRefresh() {
    if (!queued_.exchange(true))
        main_.async([this] { refresh(); });
}

void CoalescedProgress::refresh() {
    // Clear the flag before reading: counts stored after the read queue a new refresh.
    queued_.store(false);
    uint64_t dirs, files;
    {
        std::lock_guard lock(mutex_);
        dirs = dirs_;
        files = files_;
        unshown_ = false;
    }
    show_(dirs, files);
}

AnalysisJob::AnalysisJob(dispatch::GlobalQueue& global, dispatch::MainQueue& main,
                         AnalysisView& view)
    : global_(global),
      main_(main),
      view_(view),
      progress_(main, [this](uint64_t dirs, uint64_t files) {
          view_.showCountsLine(progressCountsLine(dirs, files));
      }) {}

AnalysisJob::~AnalysisJob() {
    waitUntilIdle();
}

void AnalysisJob::waitUntilIdle() const {
    std::unique_lock lock(idleMutex_);
    idle_.wait(lock, [&] { return !running_.load(); });
}

std::optional<std::string> AnalysisJob::objectValue(std::string_view columnIdentifier,
                                                    size_t row) const {
    return files_.value(columnIdentifier, row);
}

AnalysisJob::Start AnalysisJob::start(const InstalledAppRef& record) {
    if (!record)
        return Start::NoSelection;
    bool expected = false;
    if (!running_.compare_exchange_strong(expected, true))
        return Start::AlreadyRunning;
    // The stage line goes first: with the wait scaled to nothing, the job's own updates
    // could otherwise overtake it.
    main_.async([this] { view_.showStageLine(kStage1Line); });
    global_.async([this, record] {
        platform::sleepSeconds(2.0);
        run(record);
        // Notify under the lock: once it is released the destructor may run.
        std::lock_guard lock(idleMutex_);
        running_.store(false);
        idle_.notify_all();
    });
    return Start::Started;
}

void AnalysisJob::run(const InstalledAppRef& record) {
    main_.async([this] {
        files_.clear();
        view_.resultListChanged();
    });

    const std::string installPath = record->installPath.get();
    const std::string name = record->name.get();
    const std::string publisher = record->bundleId.get();

    // Stage 2's download waits on the network, stage 1 on the disk and the processors: the
    // download starts now and runs beside the walk. The two touch different request files
    // (the command list, the folder list), and stage 3, which reads the command list, still
    // starts only after the download has finished.
    auto download =
        std::async(std::launch::async, [installPath] { downloadRemovalCommandList(installPath); });

    // Stage 1: the inventory, built apart and handed over whole.
    FileTable list;
    uint64_t dirs = 0, files = 0;
    std::optional<uint64_t> size;
    takeInventory(installPath, name, publisher, list, dirs, files, size,
                  [this](uint64_t d, uint64_t f) { progress_.report(d, f); });
    progress_.flush();
    main_.async([this, list = std::move(list)]() mutable {
        files_ = std::move(list);
        view_.resultListChanged();
    });
    const uint64_t sizeBytes = size.value_or(0);
    record->sizeText.set(files::sizeText(sizeBytes));
    record->folderCount.set(std::to_string(dirs));
    record->fileCount.set(std::to_string(files));

    // Stage 2: the removal database (blocks this job for at most its network time-out,
    // counted from the start of the walk).
    main_.async([this] {
        view_.showStageLine(kStage2Line);
        view_.showCountsLine(kLoadingDatabaseLine);
    });
    download.get();

    // Stage 3: the difficulty; it reads the command list stage 2 left.
    main_.async([this] { view_.showStageLine(kStage3Line); });
    const uint64_t rank = DifficultyRater().rank(installPath, name, publisher);

    AnalysisResult result;
    result.record = record;
    result.installPath = installPath;
    result.name = name;
    result.icon = record->largeIcon.get();
    if (!result.icon)
        result.icon = record->icon.get();
    result.dirs = dirs;
    result.files = files;
    result.sizeBytes = sizeBytes;
    result.rank = rank;
    result.commandListInForce = removalCommandListInForce(installPath);
    result.totalsLine = totalsLine(dirs, files, sizeBytes);
    result.difficultyLine = difficultyLine(rank);
    result.difficulty = difficultyStyle(rank);
    main_.async([this, result = std::move(result)] { view_.present(result); });
}

}  // namespace vendrel
