#pragma once

#include <string>

#include "platform/progress.h"

namespace genart {

// SIGINT, SIGTERM and SIGHUP during `genart render`: instead of ending the process on the spot
// (half a batch left, replaced files not put back, hidden backups beside them), each only
// asks the run to stop. Renders, batches and loops look at stopRequested() where they can drop
// what they hold, and then take back what the run did exactly as after a failure: nothing it
// created is left, everything it replaced is put back.
//
// One watcher at a time, for the whole of a render; the signals' previous handling comes back
// when it goes.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal that asked the run to stop, 0 if none did.
    static int received();
    // 128 + the signal (130 for SIGINT, 143 for SIGTERM, 129 for SIGHUP), as a shell reports
    // a program the signal ended.
    static int exitStatus() { return 128 + received(); }
    // "stopped by SIGINT; what this run wrote was taken back"
    static std::string line();
};

// What a render returns when it stopped for one of the signals and took back what it did; the
// program then tells line() and exits with exitStatus(). A signal that comes after the run's
// last look (its files in place for good) lets it end as it would have.
inline constexpr int kStoppedBySignal = -1;

// Cancelled once one of the signals has arrived: the token the render's stages look at.
const CancelToken& stopToken();
inline bool stopRequested()
{
    return stopToken().cancelled();
}

} // namespace genart
