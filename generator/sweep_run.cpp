#include "generator/sweep_run.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/vector_state.h"

namespace genart {

using namespace kernel;

namespace {

// The skip rule and the palette lookup of every position of a batch, in sweep order, with
// the results in `out`. A position that writes all five carries leaves values that owe
// nothing to the carries before it; until one has, `settled` is false. Returns the number of
// positions up to and including the one that settled them here, or 0.
template <int Channel, int Tone>
int finishBatch(const PictureConstants& k, Batch& b, Carries& carriesInOut, bool& settled,
                const std::uint32_t* entries, std::uint32_t* out, std::uint16_t* entriesOut)
{
    completedValues<Channel, Tone>(k, b);
    Carries carries = carriesInOut; // in registers, not assumed to alias the output
    int settledAt = 0;
    for (int i = 0; i < b.length; ++i) {
        // A finite sum means every value is finite: all five statements completed.
        unsigned stored = kAllCarries;
        if (std::isfinite((((b.shape[i] + b.re[i]) + b.gr[i]) + b.bl[i]) + b.tone[i]))
            carries = {b.shape[i], b.re[i], b.gr[i], b.bl[i], b.tone[i]};
        else
            stored = runStages<Channel, Tone>(k, b, i, carries);
        const int entry = plot(carries.barva);
        out[i] = entries[entry];
        if (entriesOut)
            entriesOut[i] = static_cast<std::uint16_t>(entry);
        if (!settled && stored == kAllCarries) {
            settled = true;
            settledAt = i + 1;
        }
    }
    carriesInOut = carries;
    return settledAt;
}

using FinishBatch = int (*)(const PictureConstants&, Batch&, Carries&, bool&, const std::uint32_t*,
                            std::uint32_t*, std::uint16_t*);

FinishBatch finishBatchFor(const PictureConstants& k)
{
    static constexpr FinishBatch kVariants[3][4] = {
        {&finishBatch<1, 1>, &finishBatch<1, 2>, &finishBatch<1, 3>, &finishBatch<1, 4>},
        {&finishBatch<2, 1>, &finishBatch<2, 2>, &finishBatch<2, 3>, &finishBatch<2, 4>},
        {&finishBatch<3, 1>, &finishBatch<3, 2>, &finishBatch<3, 3>, &finishBatch<3, 4>},
    };
    return kVariants[k.channel - 1][k.tone - 1];
}

} // namespace

Sweep::Sweep(const GenerationState& s, const Surface& palette, double scale)
    : scale_(scale), lastColumn_(coveringSize(s.geometry.sir, scale)), lastRow_(coveringSize(s.geometry.vis, scale)),
      columnsPerUnit_(s.geometry.dx * scale), rowsPerUnit_(s.geometry.dy * scale), polx_(s.geometry.polx),
      poly_(s.geometry.poly), korakfi1_(s.drift.korakfi1), rowsBefore_(s.geometry.vis + 1.0), constants_(s.picture),
      palette_(palette, s.picture.pozic0)
{
    for (int row = 0; row <= lastRow_; ++row) {
        rowY_.push_back(yOf(row));
        rowSinY_.push_back(std::sin(rowY_.back()));
        rowCosY_.push_back(std::cos(rowY_.back()));
    }
}

// At a scale other than 1 a position's drift depends only on its count (Sweep::driftAtCount),
// which steps by 1 down a column and by rowsBefore from one column to the next. A poster's
// column at scale S has S * 450 + 1 rows but starts only 451 counts after the one before, so
// neighbouring columns meet the same counts: a run of C columns meets 451 * (C - 1) + rows
// of them instead of C * rows, and each frame's sincos is computed once per count, bit for bit
// the value every position with that count would compute.
struct Sweep::DriftFrames {
    std::int64_t firstCount = 0;
    std::vector<double> fit, sinFit, cosFit;
};

std::unique_ptr<Sweep::DriftFrames> Sweep::driftFramesFor(int first, int last) const
{
    const auto firstCount = static_cast<std::int64_t>(rowsBefore_ * first);
    const auto lastCount = static_cast<std::int64_t>(rowsBefore_ * last) + lastRow_;
    const std::int64_t counts = lastCount - firstCount + 1;
    if (accumulatesDrift() || counts >= static_cast<std::int64_t>(last - first + 1) * rows())
        return nullptr;
    auto frames = std::make_unique<DriftFrames>();
    frames->firstCount = firstCount;
    const auto size = static_cast<std::size_t>(counts);
    frames->fit.resize(size);
    frames->sinFit.resize(size);
    frames->cosFit.resize(size);
    const double fi0 = constants_.fi0;
    for (std::size_t n = 0; n < size; ++n)
        frames->fit[n] = fi0 + driftAtCount(static_cast<double>(firstCount + static_cast<std::int64_t>(n)));
    for (std::size_t n = 0; n < size; ++n)
        ::sincos(frames->fit[n], &frames->sinFit[n], &frames->cosFit[n]);
    return frames;
}

std::int64_t Sweep::run(const Raster& raster, int first, int last, std::int64_t limit, double fi1,
                        Carries& carries, bool carriesKnown) const
{
    // A sweep thread may start with the mixed vector state that makes every maths call slow.
    clearUpperVectorState();
    const PictureConstants& k = constants_;
    const auto batch = std::make_unique<Batch>();
    Batch& b = *batch;
    const FinishBatch finish = finishBatchFor(k);
    const std::uint32_t* const entries = raster.asPixels ? palette_.pixels() : palette_.colours();
    bool settled = carriesKnown;
    // The run's colours gather column by column in a tile and go to the raster by scan lines
    // at the end: a column of a large picture touches more lines than the caches hold.
    const auto tileSize = static_cast<std::size_t>(
        std::min<std::int64_t>(limit, static_cast<std::int64_t>(last - first + 1) * rows()));
    const auto tile = std::make_unique_for_overwrite<std::uint32_t[]>(tileSize);
    // The palette entries, when the raster keeps them, gather the same way.
    std::unique_ptr<std::uint16_t[]> entryTile;
    if (raster.entries)
        entryTile = std::make_unique_for_overwrite<std::uint16_t[]>(tileSize);
    // The columns the run reaches, and the frames they share.
    const int lastReached = static_cast<int>(std::min<std::int64_t>(last, first + (limit - 1) / rows()));
    const std::unique_ptr<DriftFrames> frames = driftFramesFor(first, lastReached);
    b.frameGiven = frames != nullptr;
    std::int64_t done = 0;
    std::int64_t dependent = 0;
    for (int column = first; column <= last && done < limit; ++column) {
        b.x = xOf(column);
        b.sinX = std::sin(b.x);
        for (int top = 0; top <= lastRow_ && done < limit; top += Batch::kCapacity) {
            b.length = static_cast<int>(std::min<std::int64_t>({Batch::kCapacity, rows() - top, limit - done}));
            b.y = &rowY_[static_cast<std::size_t>(top)];
            b.sinY = &rowSinY_[static_cast<std::size_t>(top)];
            b.cosY = &rowCosY_[static_cast<std::size_t>(top)];
            if (frames) {
                const auto at = static_cast<std::size_t>(static_cast<std::int64_t>(rowsBefore_ * column) + top
                                                         - frames->firstCount);
                const auto bytes = static_cast<std::size_t>(b.length) * sizeof(double);
                std::memcpy(b.fit, &frames->fit[at], bytes);
                std::memcpy(b.sinFit, &frames->sinFit[at], bytes);
                std::memcpy(b.cosFit, &frames->cosFit[at], bytes);
            } else if (accumulatesDrift()) {
                for (int i = 0; i < b.length; ++i) {
                    fi1 = fi1 + korakfi1_;
                    b.fi1[i] = fi1;
                }
            } else {
                for (int i = 0; i < b.length; ++i)
                    b.fi1[i] = driftAt(column, top + i);
            }
            measure(k, b, k.needsFi);
            shapeValues(k, b);
            std::uint16_t* const entriesOut = entryTile ? &entryTile[static_cast<std::size_t>(done)] : nullptr;
            if (const int settledAt =
                    finish(k, b, carries, settled, entries, &tile[static_cast<std::size_t>(done)], entriesOut))
                dependent = done + settledAt;
            done += b.length;
        }
    }
    toRaster(raster, raster.first, raster.stride, tile.get(), first, done);
    if (entryTile)
        toRaster(raster, raster.entries, raster.entriesStride, entryTile.get(), first, done);
    return settled ? dependent : done;
}

template <typename Value>
void Sweep::toRaster(const Raster& raster, Value* lines, std::ptrdiff_t stride, const Value* tile, int first,
                     std::int64_t positions) const
{
    const std::int64_t height = rows();
    const int fullColumns = static_cast<int>(positions / height);
    const int rowsOfLastColumn = static_cast<int>(positions % height);
    // The rows and the run's columns that fall inside the raster.
    const int firstRow = std::max(0, raster.top);
    const int lastRow = static_cast<int>(std::min<std::int64_t>(height, raster.top + raster.height)) - 1;
    const int firstColumn = std::max(0, raster.left - first);
    const int room = raster.left + raster.width - first;
    const std::ptrdiff_t shift = first - raster.left; // raster column of the run's first column
    for (int row = firstRow; row <= lastRow; ++row) {
        const int columns = std::min(fullColumns + (row < rowsOfLastColumn ? 1 : 0), room);
        Value* const line = lines + static_cast<std::ptrdiff_t>(row - raster.top) * stride;
        const Value* const from = tile + row;
        for (int c = firstColumn; c < columns; ++c)
            line[shift + c] = from[c * height];
    }
}

Sweep::Frame Sweep::frameAt(int column, int row, double fi1) const
{
    Batch b;
    b.length = 1;
    b.x = xOf(column);
    b.y = &rowY_[static_cast<std::size_t>(row)];
    b.fi1[0] = fi1;
    measure(constants_, b, true);
    return {b.fit[0], b.r[0], b.fi[0]};
}

} // namespace genart
