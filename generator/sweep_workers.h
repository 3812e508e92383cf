#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace genart {

// Threads kept for the sweeps of a whole run, so that a batch of a hundred pictures starts
// its helpers once rather than a hundred times. Several sweeps may share them at once: a
// sweep never waits for a helper that has not started on it.
class SweepWorkers {
public:
    explicit SweepWorkers(int helpers);
    ~SweepWorkers();
    SweepWorkers(const SweepWorkers&) = delete;
    SweepWorkers& operator=(const SweepWorkers&) = delete;

    // One helper for each core but the caller's, started at first use and kept to the end.
    static SweepWorkers& shared();

    int helpers() const { return static_cast<int>(threads_.size()); }

    // Runs `own` on the calling thread while up to `count` helpers that are free for it run
    // `task`, and returns once `own` and every run of `task` that started have finished.
    // Helpers that did not get to it before `own` finished never start it: `own` must finish
    // the job alone if need be (as a sweep taking blocks from a counter does).
    void runAlongside(int count, const std::function<void()>& task, const std::function<void()>& own);

private:
    struct Job {
        const std::function<void()>* task;
        int wanted;
        int started = 0;
        int finished = 0;
    };

    void serve();

    std::mutex lock_;
    std::condition_variable jobWaiting_;
    std::condition_variable jobFinished_;
    std::vector<Job*> jobs_; // the oldest first
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace genart
