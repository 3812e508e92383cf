#include <gtest/gtest.h>

#include "support/seeded_session.h"

namespace genart {
namespace {

using testing::kLargestRandom;

// Runs DrawParameters on `state` with the given random values; returns how many it took.
std::size_t draw(GenerationState& state, std::vector<float> values,
                 const FixedClock& clock = FixedClock(2006, 3, 9, 7, 5, 3))
{
    testing::ReplayedSession f(std::move(values), clock);
    f.state() = state;
    f.generator().DrawParameters();
    state = f.state();
    return f.random.taken();
}

TEST(ParameterDraw, ExtremeRandomValuesStayInsideEveryRange)
{
    struct Case { float rnd, tip1, tip2, tip3, pozic0, r0, fak; double fi0Low, fi0High; };
    const Case cases[] = {
        {0, 1, 1, 1, 5, 1, 10, 0, 0},
        // 5 - 2^-22 rounded to single before int would make tip3 5; 19.9999994 rounds up to 20.
        {kLargestRandom, 15, 3, 4, 304, 4 - 0x1p-22f, 20, 6.2829996, 6.283},
    };
    for (const Case& c : cases) {
        GenerationState s;
        draw(s, std::vector<float>(9, c.rnd));
        EXPECT_EQ(s.picture.tip1, c.tip1) << c.rnd;
        EXPECT_EQ(s.picture.tip2, c.tip2) << c.rnd;
        EXPECT_EQ(s.picture.tip3, c.tip3) << c.rnd;
        EXPECT_EQ(s.picture.pozic0, c.pozic0) << c.rnd;
        EXPECT_EQ(s.picture.r0, c.r0) << c.rnd;
        EXPECT_GE(s.picture.fi0, c.fi0Low) << c.rnd;
        EXPECT_LE(s.picture.fi0, c.fi0High) << c.rnd;
        EXPECT_TRUE(s.picture.fak1 == c.fak && s.picture.fak2 == c.fak && s.picture.fak3 == c.fak) << c.rnd;
    }
}

TEST(ParameterDraw, TakesNineValuesInOrderAndTouchesNothingElse)
{
    GenerationState s;
    s.drift.fi1 = 5.5;
    s.carried.ba = 3;
    s.carried.re = 7;
    s.carried.barva = 9;
    s.texts.tekst1 = "web";
    GenerationState expected = s;
    expected.texts.imeslike = "T20060309070503";
    // Binary fractions, so every parameter is exact and no two coincide.
    expected.picture.tip1 = 8;    // 8.5
    expected.picture.tip2 = 3;    // 3.25
    expected.picture.tip3 = 2;    // 2
    expected.picture.pozic0 = 42; // 42.5
    expected.picture.fi0 = 0.375 * 6.283;
    expected.drift.fi1 = 0;
    expected.picture.r0 = 2.875f;
    expected.drift.korakfi1 = kDriftStep;
    expected.picture.fak1 = 10.625f;
    expected.picture.fak2 = 18.75f;
    expected.picture.fak3 = 19.375f;

    EXPECT_EQ(draw(s, {0.5f, 0.75f, 0.25f, 0.125f, 0.375f, 0.625f, 0.0625f, 0.875f, 0.9375f, 0.1f}), 9u);
    EXPECT_EQ(s, expected);
}

TEST(ParameterDraw, PictureNameKeepsLeadingZeros)
{
    GenerationState s;
    draw(s, std::vector<float>(9, 0.0f), FixedClock(2005, 12, 5, 14, 30, 15));
    EXPECT_EQ(s.texts.imeslike, "T20051205143015");
    draw(s, std::vector<float>(9, 0.0f), FixedClock(2006, 3, 9, 7, 5, 3));
    EXPECT_EQ(s.texts.imeslike, "T20060309070503");
}

} // namespace
} // namespace genart
