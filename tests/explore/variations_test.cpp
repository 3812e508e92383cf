#include <gtest/gtest.h>

#include <cmath>

#include "explore/variations.h"
#include "explore_pictures.h"

namespace genart {
namespace {

void expectDrawable(const PictureParameters& p)
{
    EXPECT_TRUE(p.pozic0 >= 5 && p.pozic0 <= 304 && p.pozic0 == std::floor(p.pozic0)) << p.pozic0;
    EXPECT_TRUE(p.fi0 >= 0 && p.fi0 < 6.283) << p.fi0;
    EXPECT_TRUE(p.r0 >= 1 && p.r0 < 4) << p.r0;
    for (const float fak : {p.fak1, p.fak2, p.fak3})
        EXPECT_TRUE(fak >= 10 && fak <= 20) << fak;
}

// For pictures of every formula and at the ends of every range, at strengths from subtle to
// wild: the formula, its variants, the strip and the carried values stay; every moved value is
// one the draw could have produced, which the recipe reader takes back unchanged.
TEST(Variations, KeepTheFormulaAndStripAndStayWithinTheDraw)
{
    TwisterRandom random(5);
    int checked = 0;
    for (const Recipe& picture : testing::picturesOfEveryFormula(17, 45)) {
        const auto steps = explore::drawVariationSteps(random, 12);
        for (const double strength : {0.0, 0.2, 0.5, 0.8, 1.0}) {
            for (const Recipe& varied : explore::variations(picture, steps, strength, "T20261208120001")) {
                EXPECT_EQ(varied.picture.tip1, picture.picture.tip1);
                EXPECT_EQ(varied.picture.tip2, picture.picture.tip2);
                EXPECT_EQ(varied.picture.tip3, picture.picture.tip3);
                EXPECT_EQ(varied.palette, picture.palette);
                EXPECT_EQ(varied.carried, picture.carried);
                EXPECT_EQ(varied.imeslike, "T20261208120001");
                expectDrawable(varied.picture);
                if (!testing::readsBack(varied))
                    return;
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 47 * 5 * 12);
}

// The same steps move the values further the stronger they go, a hundredth of their range at
// most when subtle; a step of nothing moves nothing.
TEST(Variations, GoFurtherTheStrongerTheyAre)
{
    TwisterRandom random(8);
    const auto pictures = testing::picturesOfEveryFormula(3, 20);
    const auto steps = explore::drawVariationSteps(random, 12);
    double previous = -1;
    for (const double strength : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        double moved = 0;
        for (const Recipe& picture : pictures)
            for (const Recipe& varied : explore::variations(picture, steps, strength, picture.imeslike)) {
                const double away = std::abs(varied.picture.r0 - picture.picture.r0) / 3;
                EXPECT_LE(away, strength == 0.0 ? 0.0101 : 1.0);
                moved += away;
            }
        EXPECT_GT(moved, previous) << strength;
        previous = moved;
    }
    EXPECT_EQ(explore::variation(pictures[0], {}, 1.0, pictures[0].imeslike), pictures[0]);
}

} // namespace
} // namespace genart
