#include "generator/sweep_outcome.h"

#include <cstdint>

#include "generator/fast_renderer.h"
#include "generator/sweep_run.h"
#include "platform/no_surface.h"

namespace genart {
namespace {

// The drift before the first position of `column`: a running sum of one step per position,
// added up as the sweep adds it.
double driftBefore(const Sweep& sweep, int column, double fi1)
{
    const std::int64_t positions = static_cast<std::int64_t>(column) * sweep.rows();
    const double step = sweep.korakfi1();
    for (std::int64_t p = 0; p < positions; ++p)
        fi1 = fi1 + step;
    return fi1;
}

// Every picture of the normal size starts its drift alike, so the sum before its last column
// is the same for all of them.
double driftBeforeLastColumn(const Sweep& sweep, const Drift& drift)
{
    const bool usual = drift == startingDrift() && sweep.lastColumn() == kPictureWidth
        && sweep.lastRow() == kPictureHeight;
    if (!usual)
        return driftBefore(sweep, sweep.lastColumn(), drift.fi1);
    static const double everyPicture = driftBefore(sweep, kPictureWidth, startingDrift().fi1);
    return everyPicture;
}

} // namespace

CarriedValues carriedAfterSweep(const GenerationState& state)
{
    NoSurface nowhere; // the carried values never depend on the colours
    const Sweep sweep(state, nowhere, 1);
    const int last = sweep.lastColumn();
    CarriedValues carries{};
    const Raster none{}; // paints nothing
    if (sweep.run(none, last, last, sweep.rows(), driftBeforeLastColumn(sweep, state.drift), carries, false)
        < sweep.rows())
        return carries;
    GenerationState whole = state;
    renderFast(whole, nowhere, nowhere);
    return whole.carried;
}

} // namespace genart
