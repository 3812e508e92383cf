#pragma once

#include <string>

#include <QByteArray>
#include <QImage>

#include "limits/limits.h"
#include "platform/progress.h"

namespace genart {

struct PngSettings {
    int level = -1; // zlib's, within kPngLevels; -1: the encoder's default, kDefaultPngLevel
    // Told after each scan line what part of the image's rows is written, as Stage::Encoding.
    Progress progress;
    // Stops the encoding, which then gives nothing.
    const CancelToken* cancel = nullptr;
};

// The image as the bytes of a PNG file, with the recipe (if any) as its text under the recipe
// key, line breaks kept; empty if it cannot be encoded. The rows are read from the image's own
// scan lines: a picture is never copied to be encoded.
QByteArray encodePng(const QImage& image, const std::string& recipe = {}, const PngSettings& settings = {});

} // namespace genart
