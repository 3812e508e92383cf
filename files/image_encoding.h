#pragma once

#include <string>

#include <QByteArray>
#include <QImage>

#include "files/file_format.h"
#include "files/png_output.h"

namespace genart {

struct EncodeSettings {
    PngSettings png;
    int quality = -1; // JPEG and WebP, 1 .. 100; -1: each format's default
};

inline constexpr int kDefaultJpegQuality = 92;

// The image as the bytes of a file of `format` (a picture format), carrying the recipe where
// the format holds text: PNG as a text chunk, JPEG as a comment, WebP as XMP metadata.
// Empty if it cannot be encoded.
QByteArray encodeImage(const QImage& image, FileFormat format, const std::string& recipe,
                       const EncodeSettings& settings = {});

// Why a picture `width` by `height` cannot be a file of `format`, or "".
std::string sizeProblem(FileFormat format, int width, int height);

// Why a picture `width` by `height` cannot be written at `path` (its extension names no picture
// format, or one that cannot hold it), or "".
std::string pictureFileProblem(const std::string& path, int width, int height);

} // namespace genart
