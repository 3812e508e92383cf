#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace genart {

// A colour packed as red + 256 * green + 65536 * blue; -1 marks a point outside a surface.
using Colour = std::int32_t;
constexpr Colour kOutside = -1;
constexpr Colour kBlack = 0;
constexpr Colour kWhite = 16777215;

constexpr Colour rgb(int red, int green, int blue) { return red + 256 * green + 65536 * blue; }

// A colour as stored in a raster: 0xffRRGGBB.
constexpr std::uint32_t toPixel(Colour colour)
{
    const auto packed = static_cast<std::uint32_t>(colour);
    return 0xff000000u | (packed & 0xffu) << 16 | (packed & 0xff00u) | (packed >> 16 & 0xffu);
}

// A surface's pixels in memory: scan line after scan line of 0xffRRGGBB values, `stride`
// pixels apart. Empty (first == nullptr) for surfaces that can only be drawn on point by point.
struct PixelRows {
    std::uint32_t* first = nullptr;
    std::ptrdiff_t stride = 0;
};

// A rectangular drawing area addressed in whole pixels from its top-left corner, y downwards.
// Drawing outside the area leaves no mark; reading outside it gives kOutside.
class Surface {
public:
    virtual ~Surface() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;

    virtual void PSet(float x, float y, Colour colour) = 0;
    virtual Colour Point(float x, float y) const = 0;
    // For renderers that fill many pixels at once. The view is valid until the surface is
    // next used in any other way (drawn on, copied) or destroyed.
    virtual PixelRows pixelRows() { return {}; }
    // A straight line between two absolute points; like the classic line operation,
    // the end point itself is not painted.
    virtual void Line(float x1, float y1, float x2, float y2, Colour colour) = 0;

    // Text output: the text's top-left corner sits at the current position.
    virtual void setFontSize(double points) = 0;
    virtual void setForeColor(Colour colour) = 0;
    virtual void setCurrentX(float x) = 0;
    virtual void setCurrentY(float y) = 0;
    virtual void Print(const std::string& text) = 0;
};

} // namespace genart
