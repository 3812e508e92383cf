#pragma once

#include <cstdint>
#include <vector>

#include "generator/generation_state.h"
#include "generator/sweep_workers.h"
#include "platform/progress.h"
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
    // Told after each finished block what part of the sweep's columns is done, as Stage::Drawing;
    // called from the sweeping threads, one call at a time.
    Progress progress;
    // Stops the sweep early.
    const CancelToken* cancel = nullptr;
    // When given, also gets each pixel's palette entry, the index into PaletteRow of the colour
    // it was painted (generator/palette_row.h): scan line after scan line, as wide and as high
    // as the picture and cut from the sweep as its pixels are, kNoEntry where no position lands.
    // A picture is coloured again from a new strip by looking its entries up in that strip's row.
    std::vector<std::uint16_t>* entries = nullptr;
    // At a scale other than 1, leave the generation state the normal sweep leaves rather than
    // the finer one's: the picture drawn as finely as a screen shows it, the session going on
    // exactly as at the normal size. Found without a second sweep (see leaveNormalSweepState).
    bool leaveNormalState = false;
};

inline constexpr std::uint16_t kNoEntry = 0xffff;

// Draws the same picture as ImageGenerator::RenderPoster(options.scale) on `picture`, reading
// colours from `palette`, and leaves the same generation state behind; much faster, as it
// shares work between the stages and sweeps blocks of columns on several threads.
// Returns false if cancelled: the picture is then partly drawn and the state is untouched.
bool renderFast(GenerationState& state, const Surface& palette, Surface& picture,
                const FastRenderOptions& options = {});

// Leaves the state the normal sweep would leave, drawing nothing: the drift added up position by
// position as the sweep adds it, and the carried values from the last column alone when one of
// its positions writes all five (otherwise from every position, in order, on one thread).
void leaveNormalSweepState(GenerationState& state, const Surface& palette);

} // namespace genart
