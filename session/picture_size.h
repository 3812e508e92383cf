#pragma once

#include <algorithm>

#include "generator/generation_state.h"
#include "limits/limits.h"

namespace genart {

// The smallest scale at which the picture covers `width` by `height` pixels.
inline double coveringScale(int width, int height)
{
    return std::max(static_cast<double>(width) / kPictureWidth, static_cast<double>(height) / kPictureHeight);
}

// How large a picture is drawn: the picture `scale` times its normal size, cut to `width` by
// `height` from its middle. Every size shows the same continuous picture.
struct PictureSize {
    int width = kPictureWidth;
    int height = kPictureHeight;
    double scale = 1;

    // The whole picture, `scale` times its normal width and height.
    static PictureSize timesNormal(int scale)
    {
        return {kPictureWidth * scale, kPictureHeight * scale, static_cast<double>(scale)};
    }
    // `width` by `height`, covered by the picture at the smallest scale that does it.
    static PictureSize covering(int width, int height) { return {width, height, coveringScale(width, height)}; }

    bool isNormal() const { return width == kPictureWidth && height == kPictureHeight && scale == 1; }
    // Whether the sweep paints every pixel: the picture is no larger than its scale covers.
    bool paintedWhole() const
    {
        return width <= coveringSize(kPictureWidth, scale) + 1 && height <= coveringSize(kPictureHeight, scale) + 1;
    }
    bool operator==(const PictureSize&) const = default;
};

} // namespace genart
