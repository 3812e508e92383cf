#include "generator/fast_renderer.h"

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "generator/sweep_run.h"

namespace genart {
namespace {

using kernel::Carries;

// Columns per block: 16 pixels fill a cache line, so two threads seldom write to the same
// line, and a picture still makes dozens of blocks to share out.
constexpr int kColumnsPerBlock = 16;

struct Block {
    int first = 0; // columns
    int last = 0;
    double fi1Before = 0;      // the drift before the block's first position
    std::int64_t dependent = 0; // leading positions that need the real incoming carries
    Carries after;             // what the block leaves, when not all of it is dependent
    std::int64_t positions = 0;
};

std::vector<Block> planBlocks(const Sweep& sweep, int columnsPerBlock, double fi1)
{
    const int columns = sweep.lastColumn() + 1;
    const int width = columnsPerBlock > 0 ? columnsPerBlock : kColumnsPerBlock;
    std::vector<Block> blocks;
    for (int first = 0; first < columns; first += width) {
        Block b;
        b.first = first;
        b.last = std::min(first + width, columns) - 1;
        b.positions = static_cast<std::int64_t>(b.last - b.first + 1) * sweep.rows();
        blocks.push_back(b);
    }
    // The drift is a running sum; every block starts from the sum of all positions before it.
    if (sweep.accumulatesDrift()) {
        const double step = sweep.korakfi1();
        for (Block& b : blocks) {
            b.fi1Before = fi1;
            for (std::int64_t n = 0; n < b.positions; ++n)
                fi1 = fi1 + step;
        }
    }
    return blocks;
}

Carries carriesOf(const GenerationState& s) { return {s.ba, s.re, s.gr, s.bl, s.barva}; }

} // namespace

bool renderFast(GenerationState& state, const Surface& palette, Surface& picture,
                const FastRenderOptions& options)
{
    const int scale = options.scale;
    if (scale < 1 || state.sir * scale > 32767 || state.vis * scale > 32767)
        throw std::invalid_argument("renderFast: the sweep must stay within 16-bit columns and rows");
    if (state.sir < 0 || state.vis < 0)
        return true; // no position to visit

    const Sweep sweep(state, palette, scale);
    std::vector<Block> blocks = planBlocks(sweep, options.columnsPerBlock, state.fi1);

    // Straight into the picture's scan lines where it has them; otherwise into a buffer.
    std::vector<std::uint32_t> buffer;
    Raster raster{nullptr, 0, picture.width(), picture.height(), true};
    if (const PixelRows rows = picture.pixelRows(); rows.first) {
        raster.first = rows.first;
        raster.stride = rows.stride;
    } else {
        buffer.resize(static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height));
        raster = {buffer.data(), raster.width, raster.width, raster.height, false};
    }

    // Every block but the first starts from placeholder carries; the first has the real ones.
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    std::mutex progressLock;
    int columnsDone = 0;
    const auto sweepBlocks = [&] {
        for (;;) {
            if (options.cancel && options.cancel->load()) {
                stopped = true;
                return;
            }
            const std::size_t n = next++;
            if (n >= blocks.size())
                return;
            Block& b = blocks[n];
            b.after = n == 0 ? carriesOf(state) : Carries{};
            b.dependent = sweep.run(raster, b.first, b.last, b.positions, b.fi1Before, b.after, n == 0);
            if (options.progress) {
                const std::scoped_lock lock(progressLock);
                columnsDone += b.last - b.first + 1;
                options.progress(columnsDone, sweep.lastColumn() + 1);
            }
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t threads =
        std::min<std::size_t>(options.threads > 0 ? static_cast<std::size_t>(options.threads) : cores, blocks.size());
    {
        std::vector<std::jthread> helpers;
        for (std::size_t t = 1; t < threads; ++t)
            helpers.emplace_back(sweepBlocks);
        sweepBlocks();
    }
    if (stopped)
        return false;

    // In sweep order, each block's leading positions are drawn again with the carries the
    // block before really left, until the block's own values have taken over.
    Carries carries = blocks.front().after;
    for (std::size_t n = 1; n < blocks.size(); ++n) {
        Block& b = blocks[n];
        if (b.dependent == 0) {
            carries = b.after;
            continue;
        }
        sweep.run(raster, b.first, b.last, b.dependent, b.fi1Before, carries, true);
        if (b.dependent < b.positions)
            carries = b.after;
    }

    if (!raster.asPixels) {
        const int columns = std::min(sweep.lastColumn() + 1, raster.width);
        const int rows = std::min(sweep.rows(), raster.height);
        for (int column = 0; column < columns; ++column)
            for (int row = 0; row < rows; ++row)
                picture.PSet(static_cast<float>(column), static_cast<float>(row),
                             static_cast<Colour>(buffer[static_cast<std::size_t>(row) * raster.width + column]));
    }

    // The state keeps what the last position left.
    const int lastColumn = sweep.lastColumn();
    const int lastRow = sweep.lastRow();
    double fi1 = sweep.driftAt(lastColumn, lastRow);
    if (sweep.accumulatesDrift()) {
        fi1 = blocks.back().fi1Before;
        for (std::int64_t n = 0; n < blocks.back().positions; ++n)
            fi1 = fi1 + sweep.korakfi1();
    }
    const Sweep::Frame last = sweep.frameAt(lastColumn, lastRow, fi1);
    state.i = static_cast<std::int16_t>(lastColumn);
    state.j = static_cast<std::int16_t>(lastRow);
    state.x = sweep.xOf(lastColumn);
    state.y = sweep.yOf(lastRow);
    state.fi1 = fi1;
    state.fit = last.fit;
    state.r = last.r;
    state.fi = last.fi;
    state.ba = carries.ba;
    state.re = carries.re;
    state.gr = carries.gr;
    state.bl = carries.bl;
    state.barva = carries.barva;
    return true;
}

} // namespace genart
