#pragma once

#include <chrono>
#include <mutex>
#include <string>

namespace genart {

// A bar that redraws itself on one line of the terminal stderr is, with how much is done and
// an estimate of the time left. It appears only once the work has taken about half a second,
// so quick renders print nothing; it redraws at most ten times a second. Safe to call from
// several threads.
class TerminalProgress {
public:
    // Shown at all only when `wanted` and stderr is a terminal.
    explicit TerminalProgress(bool wanted);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    bool onTerminal() const { return terminal_; }
    // `done` is the share of the whole work, 0 to 1; `stage` says what is going on ("drawing").
    // `count` adds "k/n" for work made of pieces.
    void update(double done, const char* stage, const std::string& count = {});
    // Ends the bar's line, if it was drawn, so that what follows starts on a line of its own.
    void finish();
    // Seconds since the work began.
    double elapsed() const;

private:
    void draw(double done, const char* stage, const std::string& count);

    bool terminal_;
    bool drawn_ = false;
    double done_ = 0;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastDrawn_;
    std::mutex lock_;
};

// "1.2 s", "3 min 05 s": a duration as the summary lines give it.
std::string formatSeconds(double seconds);

} // namespace genart
