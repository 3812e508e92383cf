#include <gtest/gtest.h>

#include "support/seeded_session.h"

namespace genart {
namespace {

using testing::MemorySurface;
using testing::SeededSession;
using testing::differences;

const FixedClock kClock(2026, 12, 8, 9, 30, 0);

Recipe recipeFromSeed(std::uint32_t seed)
{
    SeededSession f(seed, kClock);
    f.startUp();
    return f.session.recipe();
}

// A recipe drawn `scale` times the normal size on memory surfaces.
struct Drawn {
    Drawn(const Recipe& recipe, int scale) : picture(kPictureWidth * scale, kPictureHeight * scale)
    {
        finished = drawRecipe(recipe, picture, strip, scale);
    }
    MemorySurface picture;
    MemorySurface strip{kStripWidth, kStripHeight};
    bool finished = false;
};

TEST(Poster, ScaleOneIsTheNormalPicture)
{
    // The session's own Picture1 after start-up and a few commands, against its recipe drawn
    // afresh: the same pixels, the same caption, and (the last command drew a new palette for
    // the picture) the same strip.
    for (const std::uint32_t seed : {3u, 1234u}) {
        SeededSession f(seed, kClock);
        f.startUp();
        for (const Action action : {Action::Image, Action::Palette, Action::Both})
            f.session.perform(action);
        const Drawn drawn(f.session.recipe(), 1);
        ASSERT_TRUE(drawn.finished);
        EXPECT_EQ(differences(f.picture, drawn.picture), "") << "seed " << seed;
        EXPECT_EQ(drawn.picture.printed, f.picture.lastPrinted(3)) << "seed " << seed;
        EXPECT_EQ(differences(f.strip, drawn.strip), "") << "seed " << seed;
    }
}

TEST(Poster, ScaleTwoSamplesTheSamePictureTwiceAsFinely)
{
    for (const std::uint32_t seed : {5u, 99u, 31337u}) {
        const Recipe recipe = recipeFromSeed(seed);
        const Drawn normal(recipe, 1);
        const Drawn poster(recipe, 2);
        ASSERT_TRUE(normal.finished && poster.finished);
        // The drift angle is multiplied out rather than accumulated, so its last bits may tip a
        // palette column at a few positions; above the caption everything else must agree.
        int differing = 0;
        int compared = 0;
        for (int i = 0; i < kPictureWidth; ++i) {
            for (int j = 0; j < 420; ++j) {
                ++compared;
                differing += normal.picture.Point(i, j) != poster.picture.Point(2 * i, 2 * j);
            }
        }
        EXPECT_LT(differing * 1000, compared) << "seed " << seed << ": " << differing << " of " << compared;
    }
}

TEST(Poster, CaptionGrowsWithThePicture)
{
    const Recipe recipe = recipeFromSeed(8);
    const Drawn poster(recipe, 3);
    // The name starts at x = 36 on row 1275, the web address at 660, the credit line at 1260,
    // all in 27-point type.
    const std::vector<MemorySurface::Printed> expected{
        {recipe.imeslike, 36, 1275, 27, kWhite},
        {kWebAddress, 660, 1275, 27, kWhite},
        {kCreditLine, 1260, 1275, 27, kWhite},
    };
    EXPECT_EQ(poster.picture.printed, expected);
}

} // namespace
} // namespace genart
