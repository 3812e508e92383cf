#include "generator/sweep_workers.h"

#include <algorithm>

namespace genart {

SweepWorkers::SweepWorkers(int helpers)
{
    for (int n = 0; n < helpers; ++n)
        threads_.emplace_back([this] { serve(); });
}

SweepWorkers::~SweepWorkers()
{
    {
        const std::scoped_lock hold(lock_);
        stopping_ = true;
    }
    jobWaiting_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

SweepWorkers& SweepWorkers::shared()
{
    static SweepWorkers workers(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())) - 1);
    return workers;
}

void SweepWorkers::serve()
{
    std::unique_lock hold(lock_);
    for (;;) {
        jobWaiting_.wait(hold, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_)
            return;
        Job* const job = jobs_.front();
        if (++job->started == job->wanted)
            jobs_.erase(jobs_.begin());
        hold.unlock();
        (*job->task)();
        hold.lock();
        ++job->finished;
        jobFinished_.notify_all();
    }
}

void SweepWorkers::runAlongside(int count, const std::function<void()>& task, const std::function<void()>& own)
{
    count = std::min(count, helpers());
    if (count <= 0) {
        own();
        return;
    }
    Job job{&task, count};
    {
        const std::scoped_lock hold(lock_);
        jobs_.push_back(&job);
    }
    if (count == 1)
        jobWaiting_.notify_one();
    else
        jobWaiting_.notify_all();
    own();
    std::unique_lock hold(lock_);
    // Whoever has not started on it by now will not.
    if (const auto queued = std::find(jobs_.begin(), jobs_.end(), &job); queued != jobs_.end())
        jobs_.erase(queued);
    jobFinished_.wait(hold, [&] { return job.finished == job.started; });
}

} // namespace genart
