#include "palette/palette_turn.h"

#include <numbers>

namespace genart {

PaletteParameters turnedPalette(const PaletteParameters& palette, long long t, long long steps)
{
    PaletteParameters turned = palette;
    const double shift = 2 * std::numbers::pi * static_cast<double>(t) / static_cast<double>(steps);
    for (double& phase : turned.phase)
        phase = phase + shift;
    return turned;
}

void paintTurnedPalette(const PaletteParameters& palette, long long t, long long steps, Surface& strip)
{
    GenerationState scratch; // the painting leaves its last column's components here
    paintPalette(turnedPalette(palette, t, steps), scratch, strip);
}

} // namespace genart
