#pragma once

#include <array>

#include "platform/surface.h"

namespace genart {

// The colours a picture can take, read once from row 10 of the palette strip: one for each
// column offset a tone can reduce to (-279..279), already darkened by 100 and clamped at
// black, so a column outside the strip gives black.
class PaletteRow {
public:
    static constexpr int kReach = 279;

    PaletteRow(const Surface& strip, float pozic0);

    Colour at(int offset) const { return colours_[static_cast<std::size_t>(offset + kReach)]; }

private:
    std::array<Colour, 2 * kReach + 1> colours_;
};

} // namespace genart
