// The analysis job: inventory, removal database, difficulty rating, run for the selected
// installed-app record on a background queue, with every user-interface change handed to
// the main queue. It knows no widgets: a window controller (or the command line) supplies
// an AnalysisView and drains the main queue.
//
// Order of what the view sees, all on the main queue:
//   showStageLine("Analyzing in the 1nd stage...")        when the job is queued
//   resultListChanged() with the list emptied             when the job starts (after 2.0 s)
//   showCountsLine("Folders: %ld  Files: %ld") ...        while the bundle is walked
//   resultListChanged() with the inventory published      after stage 1
//   showStageLine("Analyzing in the 2nd stage..."), showCountsLine("The removal database is
//   being loaded...")                                      before stage 2
//   showStageLine("Analyzing in the 3nd stage...")        before stage 3
//   present(...)                                          last
//
// Progress. The inventory reports as it lists each folder; on the way to the screen the reports are
// coalesced (CoalescedProgress), so the last counts shown during stage 1 are the exact
// final ones and they never go backwards.
//
// The result list is built apart on the job's thread and handed over whole on the main
// queue; the table reads only the handed-over list, on the main thread.
//
// At most one job at a time: start() refuses while an earlier job (including one whose
// progress window the user closed) is still queued or running, so two jobs never fill one
// list or write the request files together. The front end then shows the progress window
// of the running job again instead of starting another.
//
// The measures go into the record the job was started for (held by reference), never into
// whatever record a rebuilt catalogue later holds at the same index.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/analysis/inventory.h"
#include "app/catalogue/installed_app.h"
#include "app/dispatch.h"

namespace vendrel {

// ---- Presentation values ----

struct RgbColour {
    double red = 0;
    double green = 0;
    double blue = 0;
    bool systemRed = false;  // the platform's standard red; the components are a stand-in
};

struct DifficultyStyle {
    std::string_view label;  // "Easy", "Normal", "Hard", "Diffcult"
    RgbColour colour;
};

DifficultyStyle difficultyStyle(uint64_t rank);
// "Folders: %ld  Files: %ld" (two blanks): the progress window's counts line.
std::string progressCountsLine(uint64_t dirs, uint64_t files);
// "Folders: %ld   Files: %ld   Size: %@" (three blanks): the step-2 totals line.
std::string totalsLine(uint64_t dirs, uint64_t files, uint64_t sizeBytes);
// "Uninstall Difficulty: %@(%ld)".
std::string difficultyLine(uint64_t rank);

inline constexpr std::string_view kStage1Line = "Analyzing in the 1nd stage...";
inline constexpr std::string_view kStage2Line = "Analyzing in the 2nd stage...";
inline constexpr std::string_view kStage3Line = "Analyzing in the 3nd stage...";
inline constexpr std::string_view kLoadingDatabaseLine = "The removal database is being loaded...";

struct AnalysisResult {
    InstalledAppRef record;
    std::string installPath;
    std::string name;
    std::optional<Image> icon;  // the large icon if present, else the workspace icon
    uint64_t dirs = 0;
    uint64_t files = 0;
    uint64_t sizeBytes = 0;
    uint64_t rank = 0;
    bool commandListInForce = false;
    std::string totalsLine;
    std::string difficultyLine;
    DifficultyStyle difficulty;
};

// What the job asks of the front end. Every call arrives on the main queue.
class AnalysisView {
  public:
    virtual ~AnalysisView() = default;
    virtual void showStageLine(std::string_view text) = 0;
    virtual void showCountsLine(std::string_view text) = 0;
    // The job's result list changed (emptied, or the inventory handed over): reload the table.
    virtual void resultListChanged() = 0;
    // The analysis is complete: fill step 2, close the progress window, turn to step 2.
    virtual void present(const AnalysisResult& result) = 0;
};

// Per-file progress on its way to the main queue, coalesced. The reporting thread keeps the
// latest counts in one slot; it queues a refresh only when none is pending and the last one
// was queued at least kMinInterval ago (the screen cannot show more, and a refresh per file
// would cost the walk a thread wake-up per file). The refresh shows what the slot holds when
// it runs, so the counts shown never go backwards; flush() at the end of the walk makes sure
// the last counts reported are shown.
class CoalescedProgress {
  public:
    static constexpr std::chrono::milliseconds kMinInterval{20};
    using Show = std::function<void(uint64_t dirs, uint64_t files)>;  // runs on the main queue
    CoalescedProgress(dispatch::MainQueue& main, Show show) : main_(main), show_(std::move(show)) {}
    // The one reporting thread.
    void report(uint64_t dirs, uint64_t files);
    // The reporting thread, after its last report: queues a refresh unless the last counts
    // reported are already shown or about to be.
    void flush();

  private:
    void queueRefresh();
    void refresh();

    dispatch::MainQueue& main_;
    Show show_;
    std::mutex mutex_;
    uint64_t dirs_ = 0;
    uint64_t files_ = 0;
    bool unshown_ = false;  // counts reported since the last refresh read the slot
    std::atomic<bool> queued_{false};
    std::chrono::steady_clock::time_point lastQueued_{};  // reporting thread only
};

class AnalysisJob {
  public:
    // The queues and the view must outlive the job, and the main queue must not run this
    // job's tasks after the job is gone (drain it before, or discard it with the job).
    AnalysisJob(dispatch::GlobalQueue& global, dispatch::MainQueue& main, AnalysisView& view);
    // Waits for a running job to end.
    ~AnalysisJob();
    AnalysisJob(const AnalysisJob&) = delete;
    AnalysisJob& operator=(const AnalysisJob&) = delete;

    enum class Start { Started, AlreadyRunning, NoSelection };
    // Any thread. Queues the job on the global queue (it sleeps 2.0 s first) unless one is
    // already queued or running.
    Start start(const InstalledAppRef& record);

    bool isRunning() const { return running_.load(); }
    // Blocks until no job runs (the main queue may still hold its last tasks).
    void waitUntilIdle() const;

    // Main thread: the file table's data source over the handed-over result list.
    const FileTable& files() const { return files_; }
    // Hands the table over (leaving it empty) to a caller that keeps it past the job.
    FileTable takeFiles() { return std::move(files_); }
    size_t numberOfRows() const { return files_.size(); }
    // nullopt for a row out of range or an unknown column identifier.
    std::optional<std::string> objectValue(std::string_view columnIdentifier, size_t row) const;

  private:
    void run(const InstalledAppRef& record);

    dispatch::GlobalQueue& global_;
    dispatch::MainQueue& main_;
    AnalysisView& view_;

    std::atomic<bool> running_{false};
    mutable std::mutex idleMutex_;
    mutable std::condition_variable idle_;

    CoalescedProgress progress_;

    FileTable files_;  // main thread only
};

}  // namespace vendrel
