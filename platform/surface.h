#pragma once

#include <cstdint>
#include <string>

namespace genart {

// A colour packed as red + 256 * green + 65536 * blue; -1 marks a point outside a surface.
using Colour = std::int32_t;
constexpr Colour kOutside = -1;
constexpr Colour kBlack = 0;
constexpr Colour kWhite = 16777215;

constexpr Colour rgb(int red, int green, int blue) { return red + 256 * green + 65536 * blue; }

// A rectangular drawing area addressed in whole pixels from its top-left corner, y downwards.
// Drawing outside the area leaves no mark; reading outside it gives kOutside.
class Surface {
public:
    virtual ~Surface() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;

    virtual void PSet(float x, float y, Colour colour) = 0;
    virtual Colour Point(float x, float y) const = 0;
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
