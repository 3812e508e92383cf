#include "command_line/stop_signals.h"

#include <atomic>
#include <csignal>
#include <cstring>

namespace genart {
namespace {

static_assert(std::atomic<bool>::is_always_lock_free, "the token is cancelled from a signal handler");

CancelToken stopAsked;
volatile std::sig_atomic_t stopSignal = 0;

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[std::size(kStopSignals)];

// Only what is safe in a signal handler: two stores. The first signal is the one told.
extern "C" void onStopSignal(int number)
{
    if (stopSignal == 0)
        stopSignal = number;
    stopAsked.cancel();
}

} // namespace

StopSignals::StopSignals()
{
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // reads and writes go on; the run stops where it looks
    for (std::size_t n = 0; n < std::size(kStopSignals); ++n)
        sigaction(kStopSignals[n], &action, &previous[n]);
}

StopSignals::~StopSignals()
{
    for (std::size_t n = 0; n < std::size(kStopSignals); ++n)
        sigaction(kStopSignals[n], &previous[n], nullptr);
}

int StopSignals::received()
{
    return stopSignal;
}

std::string StopSignals::line()
{
    const char* name = received() == SIGINT ? "SIGINT" : received() == SIGTERM ? "SIGTERM" : "SIGHUP";
    return std::string("stopped by ") + name + "; what this run wrote was taken back";
}

const CancelToken& stopToken()
{
    return stopAsked;
}

} // namespace genart
