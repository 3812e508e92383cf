// Pictures drawn from a recipe into images at any size, with their real glyphs.
#include <gtest/gtest.h>

#include "picture_files/picture_at_size.h"
#include "platform/qt/image_surface.h"
#include "session/picture_session.h"
#include "support/image_session.h"

namespace genart {
namespace {

// A session on image surfaces after start-up and a few commands.
struct Shown : testing::ImageSession {
    explicit Shown(std::uint32_t seed) : ImageSession(seed, {Action::Palette, Action::Image}) {}
};

int whitePixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == qRgb(255, 255, 255);
    return count;
}

TEST(PictureAtSize, ScaleOneIsThePictureTheSessionShows)
{
    for (const std::uint32_t seed : {3u, 1234u}) {
        const Shown shown(seed);
        const auto exported = drawPicture(shown.session.recipe(), PictureSize::timesNormal(1));
        ASSERT_TRUE(exported);
        EXPECT_EQ(exported->picture, shown.picture.image()) << "seed " << seed;
        EXPECT_EQ(exported->strip, shown.strip.image()) << "seed " << seed;
        EXPECT_EQ(paintStrip(shown.session.palette()), shown.strip.image()) << "seed " << seed;
    }
}

TEST(PictureAtSize, PostersAreScaleTimesTheSizeWithTheNormalStrip)
{
    const Shown shown(5);
    const auto poster = drawPicture(shown.session.recipe(), PictureSize::timesNormal(2));
    ASSERT_TRUE(poster);
    EXPECT_EQ(poster->picture.size(), QSize(1200, 900));
    EXPECT_EQ(poster->strip.size(), QSize(kStripWidth, kStripHeight));
}

TEST(PictureAtSize, CaptionGrowsWithThePicture)
{
    const Shown shown(8);
    const QImage poster = drawPicture(shown.session.recipe(), PictureSize::timesNormal(3))->picture;
    ASSERT_EQ(poster.size(), QSize(1800, 1350));
    // The name starts at x = 36 on row 1275; the web address at 660, the credit line at 1260.
    for (const int x : {36, 660, 1260})
        EXPECT_GT(whitePixels(poster, QRect(x, 1275, 150, 60)), 100) << "text at x = " << x;
}

} // namespace
} // namespace genart
