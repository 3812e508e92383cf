#pragma once

#include "palette/palette_strip.h"
#include "platform/surface.h"

namespace genart {

// The palette turned on by `t` of `steps` equal parts of a full turn: every phase advanced by
// 2π × t / steps, base, spread, scales and stretches as they were. After a whole turn the
// three waves are back where they started, so a cycle of colours loops without a seam; at
// t = 0 the phases are the very same numbers.
PaletteParameters turnedPalette(const PaletteParameters& palette, long long t, long long steps);

// Paints the turned palette on the strip by the same rule as paintPalette, touching no
// generation state.
void paintTurnedPalette(const PaletteParameters& palette, long long t, long long steps, Surface& strip);

} // namespace genart
