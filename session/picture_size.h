#pragma once

#include "generator/generation_state.h"

namespace genart {

// How large a picture is drawn: the picture `scale` times its normal size, cut to `width` by
// `height` from its middle. Every size shows the same continuous picture.
struct PictureSize {
    int width = kPictureWidth;
    int height = kPictureHeight;
    double scale = 1;

    // The whole picture, `scale` times its normal width and height.
    static PictureSize timesNormal(int scale) { return {kPictureWidth * scale, kPictureHeight * scale, double(scale)}; }
    // `width` by `height`, covered by the picture at the smallest scale that does it.
    static PictureSize covering(int width, int height);

    bool isNormal() const { return width == kPictureWidth && height == kPictureHeight && scale == 1; }
    bool operator==(const PictureSize&) const = default;
};

// Each side of a picture at most: wider than any screen or print genart is asked for, and
// small enough that every sweep position fits the 16-bit columns and rows.
inline constexpr int kLargestSide = 16384;

} // namespace genart
