#include "generator/fast_renderer.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "generator/sweep_run.h"

namespace genart {
namespace {

using kernel::Carries;

// Columns per block: 16 pixels fill a cache line, so two threads seldom write to the same
// line, and a picture still makes dozens of blocks to share out. A poster's blocks are wider:
// neighbouring columns share their drift frames (Sweep::run), the more of them the wider the block.
constexpr int kColumnsPerBlock = 16;
constexpr int kColumnsPerPosterBlock = 64;

struct Block {
    int first = 0; // columns
    int last = 0;
    std::int64_t positions = 0;
    double fi1Before = 0;       // the drift before the block's first position
    std::int64_t dependent = 0; // leading positions that need the real incoming carries
    Carries after;              // what the block leaves, when not all of it is dependent
};

std::vector<Block> planBlocks(const Sweep& sweep, int columnsPerBlock)
{
    const int columns = sweep.lastColumn() + 1;
    const int width = columnsPerBlock > 0       ? columnsPerBlock
        : sweep.accumulatesDrift() ? kColumnsPerBlock
                                   : kColumnsPerPosterBlock;
    std::vector<Block> blocks;
    for (int first = 0; first < columns; first += width) {
        Block b;
        b.first = first;
        b.last = std::min(first + width, columns) - 1;
        b.positions = static_cast<std::int64_t>(b.last - b.first + 1) * sweep.rows();
        blocks.push_back(b);
    }
    return blocks;
}

// Straight into the picture's scan lines where it has them; otherwise into `buffer`.
Raster rasterFor(Surface& picture, std::vector<std::uint32_t>& buffer)
{
    Raster raster{nullptr, 0, picture.width(), picture.height(), true};
    if (const PixelRows rows = picture.pixelRows(); rows.first) {
        raster.first = rows.first;
        raster.stride = rows.stride;
    } else {
        buffer.resize(static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height));
        raster = {buffer.data(), raster.width, raster.width, raster.height, false};
    }
    return raster;
}

// Sweeps the blocks on several threads. Every block but the first starts from placeholder
// carries and notes how far they reach into it. At the normal size the drift is a running
// sum: the calling thread adds it up block by block while the others start sweeping, and a
// block waits until the sum before it is known. Returns the drift after the last position,
// or nothing when cancelled.
std::optional<double> sweepInParallel(const Sweep& sweep, std::vector<Block>& blocks, const Raster& raster,
                                      const GenerationState& state, const FastRenderOptions& options)
{
    const std::size_t count = blocks.size();
    std::atomic<std::size_t> driftKnown{sweep.accumulatesDrift() ? 0 : count};
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    std::mutex progressLock;
    int columnsDone = 0;
    const auto sweepBlocks = [&] {
        for (;;) {
            if (cancelled(options.cancel)) {
                stopped = true;
                return;
            }
            const std::size_t n = next++;
            if (n >= count)
                return;
            while (driftKnown.load(std::memory_order_acquire) <= n)
                std::this_thread::yield();
            Block& b = blocks[n];
            b.after = n == 0 ? state.carried : Carries{};
            b.dependent = sweep.run(raster, b.first, b.last, b.positions, b.fi1Before, b.after, n == 0);
            if (options.progress) {
                const std::scoped_lock lock(progressLock);
                columnsDone += b.last - b.first + 1;
                options.progress(Stage::Drawing, static_cast<double>(columnsDone)
                                     / (blocks.back().last - blocks.front().first + 1));
            }
        }
    };

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t threads =
        std::min<std::size_t>(options.threads > 0 ? static_cast<std::size_t>(options.threads) : cores, count);
    const int helpers = static_cast<int>(threads) - 1;
    SweepWorkers* workers = options.workers ? options.workers : &SweepWorkers::shared();
    std::optional<SweepWorkers> own;
    if (!options.workers && helpers > workers->helpers())
        workers = &own.emplace(helpers);
    double fi1 = state.drift.fi1;
    // The calling thread adds up the drift, if it accumulates, before it sweeps too.
    const auto driftThenSweep = [&] {
        if (sweep.accumulatesDrift()) {
            const double step = sweep.korakfi1();
            for (std::size_t n = 0; n < count; ++n) {
                blocks[n].fi1Before = fi1;
                driftKnown.store(n + 1, std::memory_order_release);
                for (std::int64_t p = 0; p < blocks[n].positions; ++p)
                    fi1 = fi1 + step;
            }
        } else {
            fi1 = sweep.driftAt(sweep.lastColumn(), sweep.lastRow());
        }
        sweepBlocks();
    };
    workers->runAlongside(helpers, sweepBlocks, driftThenSweep);
    if (stopped)
        return std::nullopt;
    return fi1;
}

// In sweep order, each block's leading positions are drawn again with the carries the block
// before really left, until the block's own values have taken over. Returns what the last
// position leaves.
Carries resolveCarries(const Sweep& sweep, const std::vector<Block>& blocks, const Raster& raster)
{
    Carries carries = blocks.front().after;
    for (std::size_t n = 1; n < blocks.size(); ++n) {
        const Block& b = blocks[n];
        if (b.dependent > 0)
            sweep.run(raster, b.first, b.last, b.dependent, b.fi1Before, carries, true);
        if (b.dependent < b.positions)
            carries = b.after;
    }
    return carries;
}

// What the sweep leaves after `column`, found without the columns before it: from placeholder
// carries, the first position of the column that writes all five settles them, and nothing
// after it owes anything to what came before. Nothing when no position of the column does.
// The column itself is outside the raster, which it leaves alone.
std::optional<Carries> carriesAfterColumn(const Sweep& sweep, const Raster& raster, int column)
{
    Carries carries{};
    const std::int64_t rows = sweep.rows();
    if (sweep.run(raster, column, column, rows, 0.0, carries, false) >= rows)
        return std::nullopt;
    return carries;
}

// The blocks a cut of the picture needs: those with columns inside the raster, and what the
// sweep carries into the first of them and leaves after the last column. Where the drift is a
// running sum, or a column just outside the cut settles nothing, every block is swept.
struct Needed {
    std::size_t first = 0; // blocks
    std::size_t last = 0;
    std::optional<Carries> before; // into block `first`, when it is not the sweep's first
    std::optional<Carries> after;  // after the sweep's last position, when block `last` is not its last
};

Needed neededBlocks(const Sweep& sweep, const std::vector<Block>& blocks, const Raster& raster)
{
    Needed needed{0, blocks.size() - 1, std::nullopt, std::nullopt};
    if (sweep.accumulatesDrift())
        return needed;
    const int firstShown = raster.left;
    const int lastShown = std::min(sweep.lastColumn(), raster.left + raster.width - 1);
    while (needed.first < needed.last && blocks[needed.first].last < firstShown)
        ++needed.first;
    while (needed.last > needed.first && blocks[needed.last].first > lastShown)
        --needed.last;
    if (needed.first > 0) {
        needed.before = carriesAfterColumn(sweep, raster, blocks[needed.first].first - 1);
        if (!needed.before)
            needed.first = 0;
    }
    if (needed.last + 1 < blocks.size()) {
        needed.after = carriesAfterColumn(sweep, raster, sweep.lastColumn());
        if (!needed.after)
            needed.last = blocks.size() - 1;
    }
    return needed;
}

// The state keeps what the sweep's last position left.
void leaveLastPosition(GenerationState& state, const Sweep& sweep, double fi1, const Carries& carries)
{
    const int lastColumn = sweep.lastColumn();
    const int lastRow = sweep.lastRow();
    const Sweep::Frame last = sweep.frameAt(lastColumn, lastRow, fi1);
    state.position.i = static_cast<std::int16_t>(lastColumn);
    state.position.j = static_cast<std::int16_t>(lastRow);
    state.position.x = sweep.xOf(lastColumn);
    state.position.y = sweep.yOf(lastRow);
    state.drift.fi1 = fi1;
    state.position.fit = last.fit;
    state.position.r = last.r;
    state.position.fi = last.fi;
    state.carried = carries;
}

} // namespace

void leaveNormalSweepState(GenerationState& state, const Surface& palette)
{
    if (state.geometry.sir < 0 || state.geometry.vis < 0)
        return; // no position to visit
    const Sweep sweep(state, palette, 1.0);
    const Raster nowhere{};
    const std::int64_t rows = sweep.rows();
    // In the order the sweep adds it: one step a position.
    double fi1 = state.drift.fi1;
    for (std::int64_t p = 0; p < static_cast<std::int64_t>(sweep.lastColumn()) * rows; ++p)
        fi1 = fi1 + sweep.korakfi1();
    const double beforeLastColumn = fi1;
    for (std::int64_t p = 0; p < rows; ++p)
        fi1 = fi1 + sweep.korakfi1();
    Carries carries{};
    if (sweep.run(nowhere, sweep.lastColumn(), sweep.lastColumn(), rows, beforeLastColumn, carries, false) >= rows) {
        carries = state.carried;
        sweep.run(nowhere, 0, sweep.lastColumn(), (sweep.lastColumn() + 1) * rows, state.drift.fi1, carries, true);
    }
    leaveLastPosition(state, sweep, fi1, carries);
}

bool renderFast(GenerationState& state, const Surface& palette, Surface& picture,
                const FastRenderOptions& options)
{
    const double scale = options.scale;
    if (!(scale > 0) || !(std::abs(state.geometry.sir * scale) <= 32767)
        || !(std::abs(state.geometry.vis * scale) <= 32767))
        throw std::invalid_argument("renderFast: the sweep must stay within 16-bit columns and rows");
    if (state.geometry.sir < 0 || state.geometry.vis < 0)
        return true; // no position to visit

    const Sweep sweep(state, palette, scale);
    std::vector<Block> blocks = planBlocks(sweep, options.columnsPerBlock);
    std::vector<std::uint32_t> buffer;
    Raster raster = rasterFor(picture, buffer);
    // A picture smaller than the one the scale covers shows its middle.
    raster.left = std::max(0, (sweep.lastColumn() - raster.width) / 2);
    raster.top = std::max(0, (sweep.lastRow() - raster.height) / 2);
    if (options.entries) {
        options.entries->assign(static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height),
                                kNoEntry);
        raster.entries = options.entries->data();
        raster.entriesStride = raster.width;
    }
    // A cut needs only its own columns: drawn from what the columns before it leave, they are
    // the same as in the whole picture.
    const Needed needed = neededBlocks(sweep, blocks, raster);
    std::vector<Block> swept(blocks.begin() + static_cast<std::ptrdiff_t>(needed.first),
                             blocks.begin() + static_cast<std::ptrdiff_t>(needed.last) + 1);
    GenerationState start = state;
    if (needed.before)
        start.carried = *needed.before;
    const std::optional<double> fi1 = sweepInParallel(sweep, swept, raster, start, options);
    if (!fi1)
        return false;
    const Carries resolved = resolveCarries(sweep, swept, raster);
    const Carries carries = needed.after ? *needed.after : resolved;

    if (!raster.asPixels) {
        const int columns = std::min(sweep.lastColumn() + 1 - raster.left, raster.width);
        const int rows = std::min(sweep.rows() - raster.top, raster.height);
        for (int column = 0; column < columns; ++column)
            for (int row = 0; row < rows; ++row)
                picture.PSet(static_cast<float>(column), static_cast<float>(row),
                             static_cast<Colour>(buffer[static_cast<std::size_t>(row) * raster.width + column]));
    }

    if (options.leaveNormalState && scale != 1)
        leaveNormalSweepState(state, palette);
    else
        leaveLastPosition(state, sweep, *fi1, carries);
    return true;
}

} // namespace genart
