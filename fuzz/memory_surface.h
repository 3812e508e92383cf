#pragma once

#include <functional>
#include <vector>

#include "platform/surface.h"

namespace genart::fuzzing {

// A surface in plain memory that calls back on every drawing call, so a fuzz target can look
// at the generation state at each pixel. Text output draws nothing.
class MemorySurface final : public Surface {
public:
    MemorySurface(int width, int height) : width_(width), height_(height), pixels_(width * height, kBlack) {}

    std::function<void(int x, int y, Colour)> onPixel;
    std::function<void(Colour)> onLine;

    int width() const override { return width_; }
    int height() const override { return height_; }
    void PSet(float x, float y, Colour colour) override
    {
        const int px = static_cast<int>(x);
        const int py = static_cast<int>(y);
        if (onPixel)
            onPixel(px, py, colour);
        if (px >= 0 && py >= 0 && px < width_ && py < height_ && px == x && py == y)
            pixels_[py * width_ + px] = colour;
    }
    Colour Point(float x, float y) const override
    {
        const int px = static_cast<int>(x);
        const int py = static_cast<int>(y);
        if (!(px >= 0 && py >= 0 && px < width_ && py < height_ && px == x && py == y))
            return kOutside;
        return pixels_[py * width_ + px];
    }
    void Line(float x1, float y1, float, float y2, Colour colour) override
    {
        if (onLine)
            onLine(colour);
        for (float y = y1; y < y2; ++y)
            PSet(x1, y, colour);
    }
    void setFontSize(double) override {}
    void setForeColor(Colour) override {}
    void setCurrentX(float) override {}
    void setCurrentY(float) override {}
    void Print(const std::string&) override {}

private:
    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

} // namespace genart::fuzzing
