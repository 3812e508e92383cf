#pragma once

#include <cstdint>
#include <string>

namespace genart {

// What genart accepts and offers, each stated once: the command line's parser and its usage
// text, the window's dialogs and help, and the manual page's check read them from here.

// Whole numbers from `lowest` to `highest`, both included.
struct Range {
    std::int64_t lowest;
    std::int64_t highest;

    constexpr bool contains(std::int64_t value) const { return value >= lowest && value <= highest; }
};

// "1 .. 16", as the usage text and messages give a range.
inline std::string rangeText(const Range& range)
{
    return std::to_string(range.lowest) + " .. " + std::to_string(range.highest);
}

// The generator's seed: any 32-bit number.
inline constexpr Range kSeeds{0, 4294967295};

// Each side of a picture, in pixels: wider than any screen or print genart is asked for, and
// small enough that every sweep position fits the 16-bit columns and rows.
inline constexpr Range kSides{1, 16384};
// Whole multiples of the normal size (posters).
inline constexpr Range kScales{1, 16};
// The multiples the window's save dialog offers, and its animation dialog: a loop's frames are
// encoded one by one, each as long as a still picture takes, so it stays smaller.
inline constexpr int kOfferedScales[] = {1, 2, 4, 8, 16};
inline constexpr int kOfferedLoopScales[] = {1, 2, 4};

// A loop's frames and their rate. Frames go to the file as they are encoded, so their number
// costs no memory; a format that cannot hold a loop refuses it before it is drawn.
inline constexpr Range kFrames{1, 100000};
inline constexpr Range kFps{1, 120};
inline constexpr int kDefaultFps = 30;

// JPEG's and WebP's quality; WebP at the highest is lossless, every pixel exact.
inline constexpr Range kQualities{1, 100};
inline constexpr int kDefaultJpegQuality = 92;
inline constexpr int kDefaultWebpQuality = 100;

// zlib's level for PNG data: 0 stores, 9 packs tightest.
inline constexpr Range kPngLevels{0, 9};
// Measured end to end (genart render --seed 1), level 2 / 4 / 6: a batch of 100 takes 0.83 /
// 0.85 / 1.30 s for 17.5 / 15.1 / 13.6 MB (its encoder is the pipeline's slowest stage above 4),
// an 8x poster 0.44 / 0.49 / 0.54 s for 2.40 / 1.93 / 1.28 MB, a 16x poster 1.5-1.8 / 1.8 /
// 1.9-2.1 s for 7.3 / 5.6 / 3.6 MB. Level 4 costs the batch nothing and keeps posters well
// within their time; --png-level 6 or 9 packs tighter.
inline constexpr int kDefaultPngLevel = 4;

// Pictures in one batch.
inline constexpr Range kCounts{1, 100000};
// Variations or recolourings written at once.
inline constexpr Range kExploreCounts{1, 10000};

} // namespace genart
