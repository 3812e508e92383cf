#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/line_points.h"
#include "platform/surface.h"

namespace genart::testing {

// A surface in plain memory with the pixel rules of ImageSurface: coordinates go to the nearest
// pixel, values far outside (and NaN) are outside, Point gives kOutside there, and Line is
// Bresenham without its end point. Text is not drawn but noted, with where it went, how large
// and in which colour, so the core can be tested without Qt and without fonts.
class MemorySurface final : public Surface {
public:
    // With pixel rows a renderer may fill the scan lines itself; without them it has to draw
    // point by point.
    enum class Access { PixelRows, PointByPoint };

    struct Printed {
        std::string text;
        float x = 0;
        float y = 0;
        double points = 0;
        Colour colour = kBlack;

        bool operator==(const Printed&) const = default;
    };

    MemorySurface(int width, int height, Access access = Access::PixelRows)
        : width_(width), height_(height), access_(access),
          pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), toPixel(kBlack))
    {
    }
    MemorySurface(const MemorySurface&) = default;
    MemorySurface& operator=(const MemorySurface&) = default;

    // Told of every set-pixel and every line as asked for, inside the surface or not, before
    // anything is painted.
    std::function<void(float x, float y, Colour)> onPixel;
    std::function<void(float x1, float y1, float x2, float y2, Colour)> onLine;

    // Every Print so far, in order.
    std::vector<Printed> printed;

    int width() const override { return width_; }
    int height() const override { return height_; }

    void PSet(float x, float y, Colour colour) override
    {
        if (onPixel)
            onPixel(x, y, colour);
        const int px = pixelOf(x);
        const int py = pixelOf(y);
        if (inside(px, py))
            pixels_[index(px, py)] = toPixel(colour);
    }

    Colour Point(float x, float y) const override
    {
        const int px = pixelOf(x);
        const int py = pixelOf(y);
        return inside(px, py) ? colourOf(pixels_[index(px, py)]) : kOutside;
    }

    PixelRows pixelRows() override
    {
        if (access_ == Access::PointByPoint)
            return {};
        return {pixels_.data(), width_};
    }

    void Line(float x1, float y1, float x2, float y2, Colour colour) override
    {
        if (onLine)
            onLine(x1, y1, x2, y2, colour);
        forEachLinePoint(pixelOf(x1), pixelOf(y1), pixelOf(x2), pixelOf(y2), [&](int x, int y) {
            if (inside(x, y))
                pixels_[index(x, y)] = toPixel(colour);
        });
    }

    void setFontSize(double points) override { fontPoints_ = points; }
    void setForeColor(Colour colour) override { foreColor_ = colour; }
    void setCurrentX(float x) override { currentX_ = x; }
    void setCurrentY(float y) override { currentY_ = y; }
    void Print(const std::string& text) override
    {
        printed.push_back({text, currentX_, currentY_, fontPoints_, foreColor_});
    }

    void fill(Colour colour) { pixels_.assign(pixels_.size(), toPixel(colour)); }

    // Scan line after scan line, 0xffRRGGBB.
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

    // The last `count` texts printed, or all of them if there are fewer.
    std::vector<Printed> lastPrinted(std::size_t count) const
    {
        const std::size_t from = printed.size() > count ? printed.size() - count : 0;
        return {printed.begin() + static_cast<std::ptrdiff_t>(from), printed.end()};
    }

private:
    static int pixelOf(float value)
    {
        const float rounded = std::nearbyint(value);
        if (!(rounded > -1.0e6f && rounded < 1.0e6f))
            return -1000000;
        return static_cast<int>(rounded);
    }
    static Colour colourOf(std::uint32_t pixel)
    {
        return rgb(static_cast<int>(pixel >> 16 & 0xffu), static_cast<int>(pixel >> 8 & 0xffu),
                   static_cast<int>(pixel & 0xffu));
    }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    Access access_;
    std::vector<std::uint32_t> pixels_;
    double fontPoints_ = 0;
    Colour foreColor_ = kBlack;
    float currentX_ = 0;
    float currentY_ = 0;
};

// A rectangle of pixels: columns left .. left + width - 1, rows top .. top + height - 1.
struct Area {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Where two surfaces' pixels differ (inside `area`, or anywhere), for a failure message; empty
// when they are the same.
inline std::string differences(const MemorySurface& expected, const MemorySurface& actual,
                               std::optional<Area> area = std::nullopt)
{
    if (expected.width() != actual.width() || expected.height() != actual.height())
        return "sizes differ: " + std::to_string(expected.width()) + " x " + std::to_string(expected.height())
               + " expected, " + std::to_string(actual.width()) + " x " + std::to_string(actual.height());
    if (!area && expected.pixels() == actual.pixels())
        return {};
    const Area a = area.value_or(Area{0, 0, expected.width(), expected.height()});
    int count = 0;
    std::string first;
    for (int y = a.top; y < a.top + a.height; ++y)
        for (int x = a.left; x < a.left + a.width; ++x)
            if (expected.Point(x, y) != actual.Point(x, y) && count++ == 0)
                first = " first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    if (count == 0)
        return {};
    return std::to_string(count) + " pixels differ," + first;
}

} // namespace genart::testing
