#include <gtest/gtest.h>

#include "files/picture_export.h"
#include "session/picture_session.h"
#include "platform/qt/image_surface.h"

namespace genart {
namespace {

Recipe recipeFromSeed(std::uint32_t seed)
{
    TwisterRandom random(seed);
    FixedClock clock(2026, 12, 8, 9, 30, 0);
    ImageSurface picture1(600, 450);
    ImageSurface picture2(601, 33);
    PictureSession session(random, clock, picture1, picture2);
    session.startUp(seed);
    return session.recipe();
}

int whitePixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == qRgb(255, 255, 255);
    return count;
}

TEST(Poster, ScaleOneIsTheNormalPicture)
{
    for (const std::uint32_t seed : {3u, 1234u}) {
        const Recipe recipe = recipeFromSeed(seed);
        ImageSurface picture(600, 450);
        ImageSurface strip(601, 33);
        drawRecipe(recipe, picture, strip);
        EXPECT_EQ(exportPicture(recipe, 1)->picture, picture.image());
    }
}

TEST(Poster, ScaleTwoSamplesTheSamePictureTwiceAsFinely)
{
    for (const std::uint32_t seed : {5u, 99u, 31337u}) {
        const Recipe recipe = recipeFromSeed(seed);
        const QImage normal = exportPicture(recipe, 1)->picture;
        const QImage poster = exportPicture(recipe, 2)->picture;
        ASSERT_EQ(poster.size(), QSize(1200, 900));
        // The drift angle is multiplied out rather than accumulated, so its last bits may tip a
        // palette column at a few positions; above the caption everything else must agree.
        int differing = 0;
        int compared = 0;
        for (int i = 0; i < 600; ++i) {
            for (int j = 0; j < 420; ++j) {
                ++compared;
                differing += normal.pixel(i, j) != poster.pixel(2 * i, 2 * j);
            }
        }
        EXPECT_LT(differing * 1000, compared) << "seed " << seed << ": " << differing << " of " << compared;
    }
}

TEST(Poster, CaptionGrowsWithThePicture)
{
    const Recipe recipe = recipeFromSeed(8);
    const QImage poster = exportPicture(recipe, 3)->picture;
    ASSERT_EQ(poster.size(), QSize(1800, 1350));
    // The name starts at x = 36 on row 1275; the web address at 660, the credit line at 1260.
    for (const int x : {36, 660, 1260})
        EXPECT_GT(whitePixels(poster, QRect(x, 1275, 150, 60)), 100) << "text at x = " << x;
}

} // namespace
} // namespace genart
