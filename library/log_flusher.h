#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace genart {

// Makes a library's commits durable on a thread of its own: the window's commits return as soon
// as they are in the write-ahead log, and this flushes the log to the disk moments later, as
// SQLite would have before returning. A kill loses nothing either way (the system holds what was
// written); only the wait for the disk moves off the caller's thread.
class LogFlusher {
public:
    explicit LogFlusher(std::string libraryPath);
    ~LogFlusher(); // flushes what is left, then ends the thread

    void flushSoon();
    // Returns once everything committed before the call is on the disk.
    void waitUntilFlushed();

private:
    void run();
    void flush();

    std::string log_;
    std::string folder_;
    std::mutex mutex_;
    std::condition_variable changed_;
    unsigned long asked_ = 0;   // flushes asked for
    unsigned long flushed_ = 0; // the last of them done
    bool ending_ = false;
    std::thread thread_;
};

} // namespace genart
