// The application's two kinds of queue.
//
// MainQueue: a first-in first-out list of tasks that only the front end's main thread runs
// (the desktop event loop drains it from its wake-up hook; the command line drains it in a
// loop). Any thread may queue. Tasks run one at a time, in the order they were queued, so
// the user-interface changes a background job requests appear in the order it requested
// them. A task may queue further tasks; they run after everything queued before them.
//
// GlobalQueue: a small pool of worker threads for background jobs (analysis, update check,
// review post). Tasks start in the order queued; with more than one worker they may run side
// by side, so a job that must not overlap itself guards that on its own (see AnalysisJob).
//
// Both are plain objects that the owner passes to the code that uses them; nothing here is
// a process-wide global, so each test builds its own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace vendrel::dispatch {

using Task = std::function<void()>;

class MainQueue {
  public:
    MainQueue() = default;
    MainQueue(const MainQueue&) = delete;
    MainQueue& operator=(const MainQueue&) = delete;

    // Any thread.
    void async(Task task) {
        std::function<void()> wake;
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            wake = wakeUp_;
        }
        ready_.notify_all();
        if (wake)
            wake();
    }

    // Called (on the queuing thread, outside the queue's lock) after every async(), so an
    // event loop can schedule a drain on its own thread. Set it before tasks are queued.
    void setWakeUp(std::function<void()> wake) {
        std::lock_guard lock(mutex_);
        wakeUp_ = std::move(wake);
    }

    // Main thread: runs the tasks that are queued now (not those they queue); returns how
    // many ran.
    size_t drain() {
        size_t n = pending();
        for (size_t i = 0; i < n; ++i)
            runOne();
        return n;
    }

    // Main thread: runs tasks as they arrive until `done()` holds after a task, or until
    // `timeout` passes without `done()` holding. True when done.
    bool runUntil(const std::function<bool()>& done,
                  std::chrono::steady_clock::duration timeout = std::chrono::hours(24)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            {
                std::unique_lock lock(mutex_);
                if (!ready_.wait_until(lock, deadline, [&] { return !tasks_.empty(); }))
                    return done();
            }
            runOne();
        }
        return true;
    }

    size_t pending() const {
        std::lock_guard lock(mutex_);
        return tasks_.size();
    }

  private:
    void runOne() {
        Task task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty())
                return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        if (task)
            task();
    }

    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Task> tasks_;
    std::function<void()> wakeUp_;
};

class GlobalQueue {
  public:
    explicit GlobalQueue(unsigned threads = 2) {
        if (threads == 0)
            threads = 1;
        for (unsigned i = 0; i < threads; ++i)
            workers_.emplace_back([this] { work(); });
    }
    GlobalQueue(const GlobalQueue&) = delete;
    GlobalQueue& operator=(const GlobalQueue&) = delete;

    // Runs every task already queued, then joins the workers.
    ~GlobalQueue() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        for (auto& t : workers_)
            t.join();
    }

    void async(Task task) {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        ready_.notify_one();
    }

  private:
    void work() {
        for (;;) {
            Task task;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [&] { return stopping_ || !tasks_.empty(); });
                if (tasks_.empty())
                    return;  // stopping and nothing left
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            if (task)
                task();
        }
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Task> tasks_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace vendrel::dispatch
