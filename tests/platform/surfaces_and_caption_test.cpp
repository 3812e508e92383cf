#include <gtest/gtest.h>

#include <algorithm>

#include "caption/caption_line.h"
#include "platform/qt/image_surface.h"

namespace genart {
namespace {

TEST(ImageSurface, GivesBackExactlyWhatWasSetAndNothingOutside)
{
    ImageSurface surface(601, 33);
    for (const Colour colour : {kBlack, kWhite, rgb(252, 0, 0), 64462, rgb(1, 2, 3)}) {
        surface.PSet(600, 32, colour);
        EXPECT_EQ(surface.Point(600, 32), colour);
    }
    const QImage before = surface.image().copy();
    for (const auto& [x, y] : {std::pair{-1, 0}, std::pair{601, 10}, std::pair{0, 33}, std::pair{-15, 10}}) {
        EXPECT_EQ(surface.Point(x, y), kOutside) << x << ", " << y;
        surface.PSet(x, y, kWhite);
    }
    EXPECT_TRUE(surface.image() == before);
}

TEST(ImageSurface, LinePaintsOneWholeColumn)
{
    ImageSurface surface(601, 33);
    surface.Line(300, 0, 300, 33, kWhite);
    surface.Line(601, 0, 601, 33, kWhite); // just outside: no mark
    int painted = 0;
    for (int x = 0; x < 601; ++x)
        for (int y = 0; y < 33; ++y)
            painted += surface.Point(x, y) == kWhite;
    EXPECT_EQ(painted, 33);
    EXPECT_EQ(surface.Point(300, 0), kWhite);
    EXPECT_EQ(surface.Point(300, 32), kWhite);
}

// Lit pixels of the caption in a box of the picture; every one of them must be grey or white.
struct Lit { int count = 0, coloured = 0, white = 0; };
Lit litIn(const ImageSurface& picture, int left, int top, int right, int bottom)
{
    Lit lit;
    for (int x = left; x < right; ++x)
        for (int y = top; y < bottom; ++y) {
            const QRgb p = picture.image().pixel(x, y);
            if (p == qRgb(0, 0, 0))
                continue;
            ++lit.count;
            lit.coloured += qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
            lit.white += p == qRgb(255, 255, 255);
        }
    return lit;
}

TEST(Caption, ThreeWhiteTextsAcrossTheBottomRows)
{
    ImageSurface picture(600, 450);
    picture.setForeColor(rgb(255, 0, 0));
    picture.setFontSize(30);
    PrintCaption({"T20060309070503", "www", "Generative"}, picture);

    EXPECT_EQ(litIn(picture, 0, 0, 600, 421).count, 0); // nothing above the caption rows
    EXPECT_EQ(litIn(picture, 0, 0, 11, 450).count, 0);  // nothing left of the name
    // 9-point type is 12 pixels high here: the rows below stay dark.
    EXPECT_EQ(litIn(picture, 0, 443, 600, 450).count, 0);
    for (const int start : {12, 220, 420}) {
        const Lit text = litIn(picture, start, 421, start + 20, 443);
        EXPECT_GT(text.white, 0) << start;
        EXPECT_EQ(text.coloured, 0) << start;
        EXPECT_EQ(litIn(picture, std::max(0, start - 40), 421, start - 1, 450).count, 0) << start;
    }
}

} // namespace
} // namespace genart
