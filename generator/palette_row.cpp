#include "generator/palette_row.h"

namespace genart {

PaletteRow::PaletteRow(const Surface& strip, float pozic0)
{
    for (int offset = -kReach; offset <= kReach; ++offset) {
        // The column is formed and passed exactly as the pixel-by-pixel lookup does it.
        const double column = pozic0 + static_cast<float>(offset);
        Colour colour = strip.Point(static_cast<float>(column), 10.0f) - 100;
        if (colour < 0)
            colour = kBlack;
        colours_[static_cast<std::size_t>(entryOf(offset))] = static_cast<std::uint32_t>(colour);
        pixels_[static_cast<std::size_t>(entryOf(offset))] = toPixel(colour);
    }
    colours_[kFarLeft] = static_cast<std::uint32_t>(kBlack);
    pixels_[kFarLeft] = toPixel(kBlack);
}

} // namespace genart
