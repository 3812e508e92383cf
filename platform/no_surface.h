#pragma once

#include "platform/surface.h"

namespace genart {

// A surface of no pixels that keeps nothing drawn on it, for steps whose values are wanted and
// whose drawing is not (a palette's last column, a sweep's carried values).
class NoSurface final : public Surface {
public:
    int width() const override { return 0; }
    int height() const override { return 0; }
    void PSet(float, float, Colour) override {}
    Colour Point(float, float) const override { return kOutside; }
    void Line(float, float, float, float, Colour) override {}
    void setFontSize(double) override {}
    void setForeColor(Colour) override {}
    void setCurrentX(float) override {}
    void setCurrentY(float) override {}
    void Print(const std::string&) override {}
};

} // namespace genart
