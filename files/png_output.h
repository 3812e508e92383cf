#pragma once

#include <string>

#include <QByteArray>
#include <QImage>

namespace genart {

// zlib's level for PNG data: 0 stores, 9 packs tightest.
struct PngSettings {
    int level = -1; // -1: the encoder's default
};

inline constexpr int kLowestPngLevel = 0;
inline constexpr int kHighestPngLevel = 9;

// The image as the bytes of a PNG file, with the recipe (if any) as its text under the recipe
// key; empty if it cannot be encoded.
QByteArray encodePng(const QImage& image, const std::string& recipe = {}, const PngSettings& settings = {});

} // namespace genart
