#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "palette/palette_strip.h"
#include "support/seeded_session.h"

namespace genart {
namespace {

using testing::kLargestRandom;
using testing::MemorySurface;
using testing::ReplayRandom;

int red(Colour c) { return c & 0xff; }
int green(Colour c) { return (c >> 8) & 0xff; }
int blue(Colour c) { return (c >> 16) & 0xff; }

TEST(PaletteDraw, ElevenValuesInOrder)
{
    ReplayRandom random({0, 0.95f, 0.1f, 0.5f, 0.9f, 0.25f, 0.5f, 0.75f, 0.5f, 0.25f, 0, 0.3f});
    const PaletteParameters p = drawPaletteParameters(random);
    EXPECT_EQ(random.taken(), 11u);
    EXPECT_EQ(p.base, 10);
    EXPECT_EQ(p.spread, 19);
    EXPECT_EQ(p.scale, (std::array<float, 3>{11, 19, 27})); // 11.9, 19.5, 27.1 rounded down
    EXPECT_EQ(p.phase, (std::array<double, 3>{0.25 * 6.28, 0.5 * 6.28, 0.75 * 6.28}));
    EXPECT_EQ(p.stretch, (std::array<float, 3>{16.5f, 23.75f, 27}));
}

TEST(PaletteDraw, SinglePrecisionRoundingLiftsScalesAndStretches)
{
    const float nextLargest = 1.0f - 0x1p-23f;
    ReplayRandom random({kLargestRandom, kLargestRandom, kLargestRandom, 0, 0, kLargestRandom, 0, 0,
                         nextLargest, nextLargest, 0});
    const PaletteParameters p = drawPaletteParameters(random);
    EXPECT_EQ(p.base, 19); // 19.9999994 is rounded down before any rounding to single
    EXPECT_EQ(p.spread, 19);
    // 19 + 19 (1 - 2^-24): the product rounds to 19 - 2^-19, the sum to 38.
    EXPECT_EQ(p.scale[0], 38);
    EXPECT_LT(p.phase[0], 6.28);
    // 38 (1 - 2^-23) rounds to 38 - 2^-18, and 38 + that is a tie broken to 76.
    EXPECT_EQ(p.stretch[0], 76);
    EXPECT_EQ(p.stretch[1], 38);
    EXPECT_EQ(p.stretch[2], 19);
}

TEST(PalettePaint, FirstColumnFollowsThePhasesAndColumn601StaysInTheChannels)
{
    GenerationState s;
    MemorySurface strip(kStripWidth, kStripHeight);
    paintPalette({.phase = {0, 0.5, 3 * std::numbers::pi / 2}, .stretch = {10, 10, 10}}, s, strip);
    EXPECT_EQ(strip.Point(0, 10), rgb(126, 186, 0)); // 186.41 for the phase 0.5

    paintPalette({.phase = {0.5, 0, 0}, .stretch = {20, 601, 1202}}, s, strip);
    EXPECT_EQ(strip.Point(0, 10), rgb(186, 126, 126));
    EXPECT_NEAR(s.carried.re, 30.0263, 1e-4);  // (sin(0.5 + 30.05) + 1) 126
    EXPECT_NEAR(s.carried.gr, 232.0253, 1e-4); // (sin(1) + 1) 126
    EXPECT_NEAR(s.carried.bl, 186.4076, 1e-4); // (sin(0.5) + 1) 126
}

TEST(PalettePaint, EveryColumnIsOneColourFromZeroTo252)
{
    for (const std::uint32_t seed : {1u, 2u, 3u, 4u}) {
        TwisterRandom random(seed);
        GenerationState s;
        MemorySurface strip(kStripWidth, kStripHeight);
        strip.fill(kWhite); // never a palette colour: components stop at 252
        NewPalette(s, random, strip);
        int lowest = 255, highest = 0, mixed = 0;
        for (int k = 0; k < kStripWidth; ++k) {
            const Colour top = strip.Point(k, 0);
            for (int row = 1; row < kStripHeight; ++row)
                mixed += strip.Point(k, row) != top;
            lowest = std::min({lowest, red(top), green(top), blue(top)});
            highest = std::max({highest, red(top), green(top), blue(top)});
        }
        EXPECT_EQ(mixed, 0) << seed;
        // A wave repeats within fewer than 480 columns, so each reaches both ends.
        EXPECT_EQ(lowest, 0) << seed;
        EXPECT_EQ(highest, 252) << seed;
    }
}

TEST(PalettePaint, NewPaletteLeavesThePictureAlone)
{
    testing::ReplayedSession f(std::vector<float>(11, 0.5f));
    f.picture.fill(rgb(1, 2, 3));
    const MemorySurface flat = f.picture;
    f.session.NewPalette();
    EXPECT_EQ(f.random.taken(), 11u);
    EXPECT_NE(f.strip.Point(300, 10), kBlack);
    EXPECT_EQ(testing::differences(flat, f.picture), "");
    EXPECT_TRUE(f.picture.printed.empty());
}

} // namespace
} // namespace genart
