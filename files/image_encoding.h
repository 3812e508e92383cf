#pragma once

#include <string>

#include <QByteArray>
#include <QImage>

#include "file_formats/file_format.h"
#include "files/png_output.h"

namespace genart {

struct EncodeSettings {
    PngSettings png;
    int quality = -1; // JPEG and WebP, within kQualities; -1: each format's default
};

// The image as the bytes of a file of `format` (a picture format), carrying the recipe where
// the format holds text: PNG as a text chunk, JPEG as a comment, WebP as XMP metadata.
// Empty if it cannot be encoded.
QByteArray encodeImage(const QImage& image, FileFormat format, const std::string& recipe,
                       const EncodeSettings& settings = {});

} // namespace genart
