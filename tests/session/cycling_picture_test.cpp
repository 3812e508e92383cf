// Colour cycling: frame 0 is the still picture to the bit, every other frame is the picture the
// step-by-step sweep paints from a strip whose phases are turned, and black stays black.
#include <gtest/gtest.h>

#include <numbers>
#include <string>

#include "generator/palette_row.h"
#include "session/cycling_picture.h"
#include "session/picture_size.h"
#include "support/seeded_session.h"
#include "support/state_differences.h"

namespace genart {
namespace {

using testing::differences;
using testing::MemorySurface;
using testing::SeededSession;

Recipe recipeWithVariants(std::uint32_t seed, int formula, int channel, int tone)
{
    SeededSession session(seed);
    session.startUp();
    Recipe recipe = session.session.recipe();
    recipe.picture.tip1 = static_cast<float>(formula);
    recipe.picture.tip2 = static_cast<float>(channel);
    recipe.picture.tip3 = static_cast<float>(tone);
    return recipe;
}

std::string named(const Recipe& r)
{
    return "variants " + std::to_string(int(r.picture.tip1)) + ", " + std::to_string(int(r.picture.tip2)) + ", "
           + std::to_string(int(r.picture.tip3));
}

// The picture painted position by position, from the palette with each phase advanced by
// 2π × t / frames.
MemorySurface referenceFrame(const Recipe& recipe, long long t, long long frames)
{
    Recipe turned = recipe;
    for (double& phase : turned.palette.phase)
        phase += 2 * std::numbers::pi * static_cast<double>(t) / static_cast<double>(frames);
    GenerationState state;
    setFixedState(state);
    MemorySurface strip(kStripWidth, kStripHeight);
    paintPalette(turned.palette, state, strip);
    applyRecipe(recipe, state);
    MemorySurface picture(kPictureWidth, kPictureHeight);
    TwisterRandom unused;
    const FixedClock clock = testing::testClock();
    ImageGenerator(state, unused, clock, picture, strip).RenderImage();
    return picture;
}

TEST(CyclingPicture, FrameZeroIsTheStillPictureForEveryFormulaAndVariant)
{
    // Fifteen pictures: every formula, and with it every pairing of channel and tone variant.
    for (int n = 0; n < 15; ++n) {
        const Recipe recipe = recipeWithVariants(500 + n, n + 1, n % 3 + 1, n % 4 + 1);
        MemorySurface still(kPictureWidth, kPictureHeight);
        MemorySurface stillStrip(kStripWidth, kStripHeight);
        ASSERT_TRUE(drawRecipe(recipe, still, stillStrip));

        CyclingPicture cycling;
        MemorySurface picture(kPictureWidth, kPictureHeight);
        MemorySurface strip(kStripWidth, kStripHeight);
        ASSERT_TRUE(cycling.draw(recipe, picture, strip));
        EXPECT_EQ(differences(still, picture), "") << named(recipe) << ", as drawn";

        picture.fill(kWhite);
        strip.fill(kWhite);
        picture.printed.clear();
        cycling.paintFrame(0, 120, picture, strip);
        EXPECT_EQ(differences(still, picture), "") << named(recipe) << ", frame 0";
        EXPECT_EQ(differences(stillStrip, strip), "") << named(recipe) << ", strip of frame 0";
        EXPECT_EQ(picture.printed, still.lastPrinted(3)) << named(recipe) << ": the caption over the frame";
    }
}

TEST(CyclingPicture, FramesAreThePictureFromATurnedStrip)
{
    for (const Recipe& recipe : {recipeWithVariants(7, 3, 2, 1), recipeWithVariants(8, 11, 1, 4),
                                 recipeWithVariants(9, 15, 3, 3)}) {
        CyclingPicture cycling;
        MemorySurface picture(kPictureWidth, kPictureHeight);
        MemorySurface strip(kStripWidth, kStripHeight);
        ASSERT_TRUE(cycling.draw(recipe, picture, strip, 1, {}, nullptr, false));
        const MemorySurface still = picture;
        for (const auto& [t, frames] : {std::pair{1LL, 120LL}, {37LL, 120LL}, {119LL, 120LL}, {3LL, 7LL}}) {
            cycling.paintFrame(t, frames, picture, strip);
            const std::string frame = named(recipe) + ", frame " + std::to_string(t) + " of " + std::to_string(frames);
            EXPECT_EQ(differences(referenceFrame(recipe, t, frames), picture), "") << frame;
            EXPECT_NE(differences(still, picture), "") << frame << " shows the still colours";
        }
    }
}

TEST(CyclingPicture, BlackOutsideTheStripStaysBlack)
{
    // Tone variant 4 gives negative tones, whose columns left of a small pozic0 lie outside the
    // strip.
    Recipe recipe = recipeWithVariants(21, 1, 2, 4);
    recipe.picture.pozic0 = 5;
    CyclingPicture cycling;
    MemorySurface picture(kPictureWidth, kPictureHeight);
    MemorySurface strip(kStripWidth, kStripHeight);
    ASSERT_TRUE(cycling.draw(recipe, picture, strip, 1, {}, nullptr, false));
    const auto outside = [&](std::uint16_t entry) {
        return entry == PaletteRow::kFarLeft || recipe.picture.pozic0 + (entry - PaletteRow::kReach) < 0;
    };
    int blackOutside = 0;
    for (const long long t : {0, 13, 60, 101}) {
        cycling.paintFrame(t, 120, picture, strip);
        int litInside = 0;
        for (int y = 0; y < kPictureHeight; ++y)
            for (int x = 0; x < kPictureWidth; ++x) {
                const std::uint16_t entry = cycling.entries()[static_cast<std::size_t>(y * kPictureWidth + x)];
                if (!outside(entry))
                    litInside += picture.Point(x, y) != kBlack;
                else if (picture.Point(x, y) == kBlack)
                    ++blackOutside;
                else
                    ADD_FAILURE() << "frame " << t << ": pixel (" << x << ", " << y << ") outside the strip is lit";
            }
        EXPECT_GT(litInside, 0) << "frame " << t;
    }
    EXPECT_GT(blackOutside, 1000); // the picture does reach outside the strip
}

TEST(CyclingPicture, LargerAndCutPicturesCycleAsTheyAreDrawn)
{
    // Twice the size, and a 700 x 300 middle of the picture that covers it, on surfaces with
    // scan lines and on one drawn point by point.
    const Recipe recipe = recipeWithVariants(33, 9, 3, 2);
    struct Case {
        int width, height;
        MemorySurface::Access access;
    };
    for (const Case c : {Case{1200, 900, MemorySurface::Access::PixelRows}, Case{700, 300, MemorySurface::Access::PixelRows},
                         Case{700, 300, MemorySurface::Access::PointByPoint}}) {
        const double scale = coveringScale(c.width, c.height);
        const std::string what = std::to_string(c.width) + " x " + std::to_string(c.height);
        MemorySurface still(c.width, c.height);
        MemorySurface stillStrip(kStripWidth, kStripHeight);
        ASSERT_TRUE(drawRecipe(recipe, still, stillStrip, scale));

        CyclingPicture cycling;
        MemorySurface picture(c.width, c.height, c.access);
        MemorySurface strip(kStripWidth, kStripHeight);
        ASSERT_TRUE(cycling.draw(recipe, picture, strip, scale));
        ASSERT_EQ(cycling.entries().size(), static_cast<std::size_t>(c.width * c.height));
        cycling.paintFrame(45, 90, picture, strip);
        EXPECT_NE(differences(still, picture), "") << what;
        picture.printed.clear();
        cycling.paintFrame(0, 90, picture, strip);
        EXPECT_EQ(differences(still, picture), "") << what;
        EXPECT_EQ(picture.printed, still.lastPrinted(3)) << what;
    }
}

TEST(CyclingPicture, ARecipeThatKeepsATurnRedrawsTheFrameShownExactly)
{
    Recipe recipe = recipeWithVariants(44, 6, 2, 3);
    recipe.cycle = {2345, 10000};
    for (const int scale : {1, 3}) {
        const std::string what = std::to_string(scale) + "x";
        CyclingPicture cycling;
        MemorySurface shown(kPictureWidth * scale, kPictureHeight * scale);
        MemorySurface shownStrip(kStripWidth, kStripHeight);
        ASSERT_TRUE(cycling.draw(recipe, shown, shownStrip, scale));
        cycling.paintFrame(2345, 10000, shown, shownStrip);

        MemorySurface again(kPictureWidth * scale, kPictureHeight * scale);
        MemorySurface againStrip(kStripWidth, kStripHeight);
        ASSERT_TRUE(drawRecipe(recipe, again, againStrip, scale));
        EXPECT_EQ(differences(shown, again), "") << what;
        EXPECT_EQ(differences(shownStrip, againStrip), "") << what;
        EXPECT_EQ(again.lastPrinted(3), shown.lastPrinted(3)) << what;
    }

    // Restored in a session, the picture shows the turn while the strip and the state stay the
    // still palette's, so the next picture is the one the still entry gives.
    Recipe still = recipe;
    still.cycle = {};
    GenerationState stillState;
    MemorySurface stillPicture(kPictureWidth, kPictureHeight);
    MemorySurface stillStrip(kStripWidth, kStripHeight);
    drawRecipe(still, stillState, stillPicture, stillStrip);
    GenerationState state;
    MemorySurface picture(kPictureWidth, kPictureHeight);
    MemorySurface strip(kStripWidth, kStripHeight);
    drawRecipe(recipe, state, picture, strip);
    MemorySurface frame(kPictureWidth, kPictureHeight);
    MemorySurface frameStrip(kStripWidth, kStripHeight);
    ASSERT_TRUE(drawRecipe(recipe, frame, frameStrip));
    EXPECT_EQ(differences(frame, picture), "");
    EXPECT_EQ(differences(stillStrip, strip), "");
    EXPECT_EQ(testing::stateDifferences(stillState, state), "");
}

TEST(CyclingPicture, ACancelledDrawCannotCycle)
{
    CancelToken cancel;
    cancel.cancel();
    CyclingPicture cycling;
    MemorySurface picture(kPictureWidth, kPictureHeight);
    MemorySurface strip(kStripWidth, kStripHeight);
    EXPECT_FALSE(cycling.draw(recipeWithVariants(1, 1, 1, 1), picture, strip, 1, {}, &cancel));
    EXPECT_FALSE(cycling.drawn());
    EXPECT_THROW(cycling.paintFrame(0, 10, picture, strip), std::invalid_argument);
}

} // namespace
} // namespace genart
