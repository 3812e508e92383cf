#include "library/log_flusher.h"

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace genart {
namespace {

void syncFile(const std::string& path, int flags)
{
    const int file = ::open(path.c_str(), flags | O_CLOEXEC);
    if (file < 0)
        return; // no log yet, or no longer: nothing of it to flush
    ::fsync(file);
    ::close(file);
}

} // namespace

LogFlusher::LogFlusher(std::string libraryPath)
    : log_(libraryPath + "-wal"), folder_(std::filesystem::path(libraryPath).parent_path().string()),
      thread_([this] { run(); })
{
}

LogFlusher::~LogFlusher()
{
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void LogFlusher::flushSoon()
{
    {
        std::lock_guard lock(mutex_);
        ++asked_;
    }
    changed_.notify_all();
}

void LogFlusher::waitUntilFlushed()
{
    std::unique_lock lock(mutex_);
    const unsigned long wanted = asked_;
    changed_.wait(lock, [&] { return flushed_ >= wanted; });
}

void LogFlusher::run()
{
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [&] { return ending_ || flushed_ < asked_; });
        if (flushed_ == asked_ && ending_)
            return;
        const unsigned long covering = asked_; // one flush serves every commit made so far
        lock.unlock();
        flush();
        lock.lock();
        flushed_ = covering;
        changed_.notify_all();
    }
}

void LogFlusher::flush()
{
    syncFile(log_, O_RDONLY);
    syncFile(folder_, O_RDONLY | O_DIRECTORY); // the log's own name, the first time it is made
}

} // namespace genart
