#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "generator/generation_state.h"
#include "generator/sweep_workers.h"
#include "platform/surface.h"

namespace genart {

struct FastRenderOptions {
    // Picture sampled `scale` times more finely in each direction (any scale above 0), onto a
    // surface as large as the scale makes the picture, or smaller: a smaller surface gets the
    // middle of it, as if the whole picture had been drawn and cut.
    double scale = 1;
    // Threads that sweep at once, the calling thread included; 0 means one per core.
    // The pixels and the state left behind are the same for every count.
    int threads = 0;
    // The helper threads to sweep on; without them, the process's shared ones
    // (SweepWorkers::shared()), or threads of its own when asked for more than those.
    SweepWorkers* workers = nullptr;
    // Columns per block of work; 0 lets the renderer choose. Any value gives the same picture.
    int columnsPerBlock = 0;
    // Told after each finished block how many of all the sweep's columns are done; called
    // from the sweeping threads, one call at a time.
    std::function<void(int done, int total)> progress;
    // Set from anywhere to stop the sweep early.
    const std::atomic<bool>* cancel = nullptr;
    // When given, also gets each pixel's palette entry, the index into PaletteRow of the colour
    // it was painted (generator/palette_row.h): scan line after scan line, as wide and as high
    // as the picture and cut from the sweep as its pixels are, kNoEntry where no position lands.
    // A picture is coloured again from a new strip by looking its entries up in that strip's row.
    std::vector<std::uint16_t>* entries = nullptr;
};

inline constexpr std::uint16_t kNoEntry = 0xffff;

// Draws the same picture as ImageGenerator::RenderPoster(options.scale) on `picture`, reading
// colours from `palette`, and leaves the same generation state behind; much faster, as it
// shares work between the stages and sweeps blocks of columns on several threads.
// Returns false if cancelled: the picture is then partly drawn and the state is untouched.
bool renderFast(GenerationState& state, const Surface& palette, Surface& picture,
                const FastRenderOptions& options = {});

} // namespace genart
