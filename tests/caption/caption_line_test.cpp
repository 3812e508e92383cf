// The caption as calls on the picture surface: which texts, where, how large and in which
// colour. That the glyphs come out white on a real surface is the Qt surface's test.
#include <gtest/gtest.h>

#include <vector>

#include "caption/caption_line.h"
#include "support/memory_surface.h"

namespace genart {
namespace {

using testing::MemorySurface;
using Printed = MemorySurface::Printed;

const CaptionTexts kTexts{"T20060309070503", "www.example", "Generative"};

std::vector<Printed> expectedCaption(float scale)
{
    return {
        {"T20060309070503", 12 * scale, 425 * scale, 9.0 * scale, kWhite},
        {"www.example", 220 * scale, 425 * scale, 9.0 * scale, kWhite},
        {"Generative", 420 * scale, 425 * scale, 9.0 * scale, kWhite},
    };
}

TEST(Caption, ThreeWhiteNinePointTextsInOrderAcrossTheBottomRows)
{
    MemorySurface picture(kPictureWidth, kPictureHeight);
    // Whatever the surface was set to before, the caption sets its own type and colour.
    picture.setForeColor(rgb(255, 0, 0));
    picture.setFontSize(30);
    picture.setCurrentX(5);
    picture.setCurrentY(5);
    PrintCaption(kTexts, picture);
    EXPECT_EQ(picture.printed, expectedCaption(1));
    // Text is all it puts on the picture.
    EXPECT_EQ(testing::differences(MemorySurface(kPictureWidth, kPictureHeight), picture), "");
}

TEST(Caption, GrowsWithThePicture)
{
    for (const int scale : {2, 3}) {
        MemorySurface poster(kPictureWidth * scale, kPictureHeight * scale);
        PrintCaption(kTexts, poster, scale);
        EXPECT_EQ(poster.printed, expectedCaption(static_cast<float>(scale))) << "scale " << scale;
    }
}

TEST(Caption, EmptyAndLongTextsKeepTheirOwnPositions)
{
    // A long name runs under the next text rather than pushing it along; an empty one is still
    // printed, so the other two stay where they belong.
    MemorySurface picture(kPictureWidth, kPictureHeight);
    const std::string longName(200, 'T');
    PrintCaption({longName, "", "credit"}, picture);
    ASSERT_EQ(picture.printed.size(), 3u);
    EXPECT_EQ(picture.printed[0].text, longName);
    EXPECT_EQ(picture.printed[1].text, "");
    EXPECT_EQ(picture.printed[1].x, 220);
    EXPECT_EQ(picture.printed[2].text, "credit");
    EXPECT_EQ(picture.printed[2].x, 420);
}

} // namespace
} // namespace genart
