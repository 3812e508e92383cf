// The tests' memory surface stands in for ImageSurface in every test of the core, so it must
// paint and read back exactly the same pixels for the same calls.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "platform/qt/image_surface.h"
#include "support/memory_surface.h"

namespace genart {
namespace {

using testing::MemorySurface;

constexpr int kWidth = 40;
constexpr int kHeight = 30;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Coordinates on both sides of every rounding and every edge.
const float kCoordinates[] = {0,     0.4f,  0.5f,  1.5f,  2.5f,  -0.4f, -0.5f, -0.6f, -1,   29.4f, 29.5f,
                              39.4f, 39.5f, 39.6f, 40,    1e7f,  -1e7f, 1e6f,  -1e6f, kNaN, kInfinity, -kInfinity};

std::string pixelDifferences(const ImageSurface& image, const MemorySurface& memory)
{
    int count = 0;
    std::string first;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (image.Point(x, y) != memory.Point(x, y) && count++ == 0)
                first = " first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return count == 0 ? "" : std::to_string(count) + " pixels differ," + first;
}

TEST(MemorySurface, SetsAndReadsPointsLikeTheImageSurface)
{
    ImageSurface image(kWidth, kHeight);
    MemorySurface memory(kWidth, kHeight);
    Colour colour = rgb(1, 2, 3);
    for (const float x : kCoordinates)
        for (const float y : kCoordinates) {
            colour = (colour * 7 + 12345) & 0xffffff;
            image.PSet(x, y, colour);
            memory.PSet(x, y, colour);
        }
    EXPECT_EQ(pixelDifferences(image, memory), "");
    for (const float x : kCoordinates)
        for (const float y : kCoordinates)
            EXPECT_EQ(memory.Point(x, y), image.Point(x, y)) << x << ", " << y;
    EXPECT_EQ(memory.Point(-1, 0), kOutside);
    EXPECT_EQ(memory.Point(kNaN, 0), kOutside);
}

TEST(MemorySurface, DrawsLinesLikeTheImageSurface)
{
    struct Segment { float x1, y1, x2, y2; };
    const Segment segments[] = {
        {3, 0, 3, 30},        {0, 5, 40, 5},      {0, 0, 39, 29},     {39, 0, 0, 29},   {10, 2, 13, 28},
        {35, 27, 2, 20},      {5.5f, 6.5f, 20.4f, 9.6f}, {-10, -5, 50, 40}, {20, 20, 20, 20}, {-3, 12, 3, 12},
        {38, -1, 38, 31},     {1e7f, 3, 30, 3},   {kNaN, 8, 12, 8},   {7, 29, 7, 0},
    };
    ImageSurface image(kWidth, kHeight);
    MemorySurface memory(kWidth, kHeight);
    Colour colour = rgb(9, 8, 7);
    for (const Segment& s : segments) {
        colour = (colour * 13 + 4321) & 0xffffff;
        image.Line(s.x1, s.y1, s.x2, s.y2, colour);
        memory.Line(s.x1, s.y1, s.x2, s.y2, colour);
        EXPECT_EQ(pixelDifferences(image, memory), "") << s.x1 << ", " << s.y1 << " to " << s.x2 << ", " << s.y2;
    }
}

TEST(MemorySurface, PixelRowsHoldTheImageSurfaceScanLinesOrNothing)
{
    ImageSurface image(kWidth, kHeight);
    MemorySurface memory(kWidth, kHeight);
    for (int n = 0; n < kWidth * kHeight; n += 7) {
        image.PSet(n % kWidth, n / kWidth, rgb(n % 256, n / 256, 255 - n % 256));
        memory.PSet(n % kWidth, n / kWidth, rgb(n % 256, n / 256, 255 - n % 256));
    }
    const PixelRows rows = memory.pixelRows();
    ASSERT_NE(rows.first, nullptr);
    for (int y = 0; y < kHeight; ++y)
        EXPECT_EQ(std::memcmp(rows.first + y * rows.stride, image.image().constScanLine(y), kWidth * 4), 0) << y;
    // Written through the rows, read back as a point.
    rows.first[rows.stride * 3 + 4] = toPixel(rgb(10, 20, 30));
    EXPECT_EQ(memory.Point(4, 3), rgb(10, 20, 30));

    MemorySurface pointByPoint(kWidth, kHeight, MemorySurface::Access::PointByPoint);
    EXPECT_EQ(pointByPoint.pixelRows().first, nullptr);
}

TEST(MemorySurface, NotesTextInsteadOfDrawingIt)
{
    MemorySurface memory(kWidth, kHeight);
    memory.setFontSize(9);
    memory.setForeColor(kWhite);
    memory.setCurrentX(12);
    memory.setCurrentY(25);
    memory.Print("first");
    memory.setFontSize(18);
    memory.setCurrentX(2.5f);
    memory.Print("second");
    const std::vector<MemorySurface::Printed> expected{{"first", 12, 25, 9, kWhite}, {"second", 2.5f, 25, 18, kWhite}};
    EXPECT_EQ(memory.printed, expected);
    EXPECT_EQ(testing::differences(MemorySurface(kWidth, kHeight), memory), "");
}

} // namespace
} // namespace genart
