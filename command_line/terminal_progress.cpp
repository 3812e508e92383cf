#include "command_line/terminal_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace genart {
namespace {

constexpr std::chrono::milliseconds kQuietStart{500};
constexpr std::chrono::milliseconds kRedrawEvery{100};
constexpr int kBarWidth = 30;

} // namespace

TerminalProgress::TerminalProgress(bool wanted)
    : terminal_(wanted && ::isatty(STDERR_FILENO) == 1), started_(std::chrono::steady_clock::now())
{
}

TerminalProgress::~TerminalProgress()
{
    finish();
}

double TerminalProgress::elapsed() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

void TerminalProgress::update(double done, const char* stage, const std::string& count)
{
    if (!terminal_)
        return;
    const std::scoped_lock hold(lock_);
    const auto now = std::chrono::steady_clock::now();
    if (now - started_ < kQuietStart || (drawn_ && now - lastDrawn_ < kRedrawEvery && done < 1))
        return;
    lastDrawn_ = now;
    // The bar never goes back, though a later piece of work may start its count again.
    done_ = std::max(done_, std::clamp(done, 0.0, 1.0));
    draw(done_, stage, count);
}

void TerminalProgress::draw(double done, const char* stage, const std::string& count)
{
    const int filled = static_cast<int>(done * kBarWidth);
    std::string left;
    // An estimate only once there is something to go on.
    if (done >= 0.02 && done < 1) {
        const double seconds = elapsed();
        left = ", " + formatSeconds(seconds / done * (1 - done)) + " left";
    }
    std::fprintf(stderr, "\r%-9s [%.*s%*s] %3d%%%s%s%s\033[K", stage, filled, "##############################",
                 kBarWidth - filled, "", static_cast<int>(done * 100), count.empty() ? "" : " ", count.c_str(),
                 left.c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void TerminalProgress::finish()
{
    const std::scoped_lock hold(lock_);
    if (!drawn_)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    drawn_ = false;
    terminal_ = false;
}

std::string formatSeconds(double seconds)
{
    char text[48];
    if (seconds < 60)
        std::snprintf(text, sizeof text, "%.1f s", seconds);
    else if (seconds < 3600)
        std::snprintf(text, sizeof text, "%d min %02d s", static_cast<int>(seconds / 60),
                      static_cast<int>(std::fmod(seconds, 60)));
    else
        std::snprintf(text, sizeof text, "%d h %02d min", static_cast<int>(seconds / 3600),
                      static_cast<int>(std::fmod(seconds, 3600) / 60));
    return text;
}

} // namespace genart
