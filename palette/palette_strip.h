#pragma once

#include <array>

#include "generator/generation_state.h"
#include "platform/random_source.h"
#include "platform/surface.h"

namespace genart {

// The eleven random values one palette draws: the red, green and blue components are sine
// waves over the column number, each with its own phase and its own columns per radian.
struct PaletteParameters {
    float base = 0;   // smallest scale, 10..19
    float spread = 0; // width of the range of scales, 10..19
    std::array<float, 3> scale{};    // whole numbers, base .. base + spread
    std::array<double, 3> phase{};   // radians, [0, 6.28)
    std::array<float, 3> stretch{};  // columns per radian, [scale, 2 * scale]

    bool operator==(const PaletteParameters&) const = default;
};

// The strip is 601 by 33 pixels; the palette paints one column more (0..601), which lies just
// outside it.
inline constexpr int kStripWidth = 601;
inline constexpr int kStripHeight = 33;
inline constexpr int kPaletteColumns = kStripWidth + 1;

// Takes exactly eleven values from the generator, in a fixed order.
PaletteParameters drawPaletteParameters(RandomSource& random);

// Paints every column over rows 0..33 of the strip. Leaves the last column's components
// in the state's re, gr and bl, where the channel stage may still find them.
void paintPalette(const PaletteParameters& palette, GenerationState& state, Surface& strip);

// Draws a new palette and paints it.
void NewPalette(GenerationState& state, RandomSource& random, Surface& strip);

} // namespace genart
