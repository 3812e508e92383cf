#pragma once

#include <cstdint>

#include "palette/palette_strip.h"
#include "platform/surface.h"

namespace genart {

// One turn of the colours lasts this long: in the window's colour cycling, and in the loops
// written when no number of frames is asked for, so that a loop matches what the window shows.
inline constexpr int kTurnMilliseconds = 10000;

// How far the colours have turned: `step` of `steps` equal parts of a full turn. Kept as the two
// whole numbers a frame was painted from, never as an angle, so that the same colours can be
// painted again bit for bit. Not turned at all is 0 of 1.
struct PaletteTurn {
    std::int64_t step = 0;
    std::int64_t steps = 1;

    bool turned() const { return step != 0; }
    bool operator==(const PaletteTurn&) const = default;
};

// The palette turned on by `t` of `steps` equal parts of a full turn: every phase advanced by
// 2π × t / steps, base, spread, scales and stretches as they were. After a whole turn the
// three waves are back where they started, so a cycle of colours loops without a seam; at
// t = 0 the phases are the very same numbers.
PaletteParameters turnedPalette(const PaletteParameters& palette, long long t, long long steps);

// Paints the turned palette on the strip by the same rule as paintPalette, touching no
// generation state.
void paintTurnedPalette(const PaletteParameters& palette, long long t, long long steps, Surface& strip);

} // namespace genart
