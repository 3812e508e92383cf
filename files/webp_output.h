#pragma once

#include <string>

#include <QByteArray>
#include <QImage>

#include "limits/limits.h"

namespace genart {

// At the highest quality a WebP is lossless: every pixel comes back exactly. Below it, lossy
// at that quality.
inline constexpr int kLosslessWebpQuality = static_cast<int>(kQualities.highest);

// The image as the bytes of a WebP file, with the recipe (if any) as XMP metadata; empty if it
// cannot be encoded. A lossless picture is handed to libwebp as it lies in memory: genart's
// pixels are already the 0xAARRGGBB words libwebp's lossless encoder reads.
QByteArray encodeWebp(const QImage& image, const std::string& recipe, int quality = kLosslessWebpQuality);

} // namespace genart
