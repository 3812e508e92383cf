#include <gtest/gtest.h>

#include "caption/caption_line.h"
#include "generator/fast_renderer.h"
#include "session/picture_size.h"
#include "support/seeded_session.h"
#include "support/state_differences.h"

namespace genart {
namespace {

using testing::differences;
using testing::MemorySurface;
using testing::SeededSession;

Recipe recipeWithFormula(std::uint32_t seed, float tip1)
{
    SeededSession f(seed);
    f.startUp();
    Recipe recipe = f.session.recipe();
    recipe.picture.tip1 = tip1;
    return recipe;
}

// A state about to sweep the recipe's picture, its palette painted on `strip`.
GenerationState readyToSweep(const Recipe& recipe, MemorySurface& strip)
{
    GenerationState state;
    setFixedState(state);
    paintPalette(recipe.palette, state, strip);
    applyRecipe(recipe, state);
    return state;
}

// The whole picture the scale covers, drawn position by position by the step-by-step sweep.
MemorySurface coveringPicture(const Recipe& recipe, double scale)
{
    MemorySurface strip(kStripWidth, kStripHeight);
    GenerationState state = readyToSweep(recipe, strip);
    MemorySurface picture(coveringSize(kPictureWidth, scale), coveringSize(kPictureHeight, scale));
    TwisterRandom unused;
    const FixedClock clock = testing::testClock();
    ImageGenerator(state, unused, clock, picture, strip).RenderPoster(scale);
    return picture;
}

// `width` by `height` pixels drawn from the recipe by the fast renderer, without the caption.
MemorySurface sized(const Recipe& recipe, int width, int height, bool withCaption = false)
{
    MemorySurface picture(width, height);
    MemorySurface strip(kStripWidth, kStripHeight);
    EXPECT_TRUE(drawRecipe(recipe, picture, strip, coveringScale(width, height), {}, nullptr, withCaption));
    return picture;
}

// The middle `width` by `height` of a larger surface.
MemorySurface middleOf(const MemorySurface& whole, int width, int height)
{
    const int left = (whole.width() - width) / 2;
    const int top = (whole.height() - height) / 2;
    MemorySurface cut(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            cut.PSet(x, y, whole.Point(x + left, y + top));
    return cut;
}

TEST(SizedPicture, WholeScalesAreTheScaledPictures)
{
    // 1200 x 900 is the picture at twice its size, 600 x 450 the normal one, captions included.
    const Recipe recipe = recipeWithFormula(21, 4);
    for (const int scale : {1, 2}) {
        MemorySurface poster(kPictureWidth * scale, kPictureHeight * scale);
        MemorySurface strip(kStripWidth, kStripHeight);
        ASSERT_TRUE(drawRecipe(recipe, poster, strip, scale));
        const MemorySurface bySize = sized(recipe, kPictureWidth * scale, kPictureHeight * scale, true);
        EXPECT_EQ(differences(poster, bySize), "") << scale;
        EXPECT_EQ(poster.printed, bySize.printed) << scale;
    }
}

TEST(SizedPicture, ACutIsTheMiddleOfTheStepByStepPictureItCovers)
{
    // Landscape and portrait cuts at scales that are not whole numbers. Formula 15 divides by
    // |x|, so it fails on the column where x is 0, at 300 times the scale: with 1920 pixels
    // across (scale 3.2) that is column 960, inside the cut, and its pixels show what the
    // column before left behind, which only a sweep of the whole picture gets right.
    struct Case {
        int width, height;
        float tip1;
    };
    // 598 x 900 (scale 2) starts just right of the column where x is 0, whose positions all fail
    // formula 15 and pass their shape value on into the cut.
    for (const Case c : {Case{1920, 1080, 15}, Case{270, 480, 15}, Case{1000, 300, 9}, Case{333, 250, 13},
                         Case{598, 900, 15}, Case{300, 900, 6}}) {
        const Recipe recipe = recipeWithFormula(8, c.tip1);
        const double scale = coveringScale(c.width, c.height);
        const MemorySurface whole = coveringPicture(recipe, scale);
        const MemorySurface cut = sized(recipe, c.width, c.height);
        EXPECT_EQ(differences(middleOf(whole, c.width, c.height), cut), "")
            << c.width << " x " << c.height << ", formula " << c.tip1;
    }
}

TEST(SizedPicture, ACutLeavesTheStateTheWholePictureLeaves)
{
    // Whatever columns a cut leaves out, the sweep ends where the whole picture's does.
    for (const float tip1 : {1.0f, 6.0f, 15.0f}) {
        const Recipe recipe = recipeWithFormula(12, tip1);
        const auto drawn = [&](int width, int height) {
            MemorySurface strip(kStripWidth, kStripHeight);
            GenerationState state = readyToSweep(recipe, strip);
            MemorySurface picture(width, height);
            FastRenderOptions options;
            options.scale = 2.5;
            EXPECT_TRUE(renderFast(state, strip, picture, options));
            return state;
        };
        EXPECT_EQ(testing::stateDifferences(drawn(1500, 1125), drawn(200, 1125)), "") << "formula " << tip1;
        EXPECT_EQ(testing::stateDifferences(drawn(1500, 1125), drawn(1, 1)), "") << "formula " << tip1;
    }
}

TEST(SizedPicture, ACutSweepsItsOwnColumnsWhereWhatComesBeforeIsSettled)
{
    // Progress is told once a block, of 64 columns at a poster's scale and 16 at the normal one.
    const auto blocksSwept = [](const Recipe& recipe, int width, int height) {
        MemorySurface picture(width, height);
        MemorySurface strip(kStripWidth, kStripHeight);
        int swept = 0;
        drawRecipe(recipe, picture, strip, coveringScale(width, height), [&](Stage, double) { ++swept; });
        return swept;
    };
    // Upright at scale 2: 300 of the 1201 columns (19 blocks), and the blocks around them.
    const int upright = blocksSwept(recipeWithFormula(8, 6), 300, 900);
    EXPECT_GE(upright, 300 / 64);
    EXPECT_LT(upright, 600 / 64);
    // At the normal size the drift is a running sum, which every position adds to: all 601 columns.
    EXPECT_EQ(blocksSwept(recipeWithFormula(8, 6), 300, 450), (601 + 15) / 16);
}

TEST(SizedPicture, AWidescreenCutIsTheMiddleRowsOfTheTallerPicture)
{
    const Recipe recipe = recipeWithFormula(7, 15);
    const MemorySurface tall = sized(recipe, 1920, 1440);
    const MemorySurface wide = sized(recipe, 1920, 1080);
    MemorySurface rows(1920, 1080);
    for (int y = 0; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x)
            rows.PSet(x, y, tall.Point(x, y + 180));
    EXPECT_EQ(differences(rows, wide), "");
}

TEST(SizedPicture, TheCaptionSitsOnTheCutsOwnBottomRowsOrNowhere)
{
    const Recipe recipe = recipeWithFormula(30, 2);
    const MemorySurface captioned = sized(recipe, 1920, 1080, true);
    const double scale = 3.2;
    ASSERT_EQ(captioned.printed.size(), 3u);
    const float lefts[] = {12, 220, 420};
    for (std::size_t n = 0; n < 3; ++n) {
        EXPECT_FLOAT_EQ(captioned.printed[n].x, static_cast<float>(lefts[n] * scale));
        EXPECT_FLOAT_EQ(captioned.printed[n].y, static_cast<float>(1080 - 25 * scale));
        EXPECT_DOUBLE_EQ(captioned.printed[n].points, 9 * scale);
        EXPECT_EQ(captioned.printed[n].colour, kWhite);
    }
    EXPECT_EQ(captioned.printed[0].text, recipe.imeslike);

    const MemorySurface bare = sized(recipe, 1920, 1080, false);
    EXPECT_TRUE(bare.printed.empty());
    // The memory surface notes text rather than drawing it, so the pixels are the same.
    EXPECT_EQ(differences(captioned, bare), "");
}

} // namespace
} // namespace genart
