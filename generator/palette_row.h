#pragma once

#include <array>
#include <cstdint>

#include "platform/surface.h"

namespace genart {

// The colours a picture can take, read once from row 10 of the palette strip: one for each
// column offset a tone can reduce to (-279..279), already darkened by 100 and clamped at
// black, so a column outside the strip gives black; and black for tones too far left to
// reduce at all. Each is kept both as a colour value and as a raster pixel.
class PaletteRow {
public:
    static constexpr int kReach = 279;
    static constexpr int kEntries = 2 * kReach + 2;
    static constexpr int kFarLeft = kEntries - 1;

    PaletteRow(const Surface& strip, float pozic0);

    static constexpr int entryOf(int offset) { return offset + kReach; }
    // 0xffRRGGBB, as rasters hold them.
    const std::uint32_t* pixels() const { return pixels_.data(); }
    // The colour values themselves, bit for bit.
    const std::uint32_t* colours() const { return colours_.data(); }

private:
    std::array<std::uint32_t, kEntries> colours_;
    std::array<std::uint32_t, kEntries> pixels_;
};

} // namespace genart
