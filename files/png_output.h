#pragma once

#include <string>
#include <vector>

#include <QByteArray>
#include <QImage>

#include "files/output_files.h"

namespace genart {

struct PngOutput {
    std::string path;
    QImage image;
};

// The image as the bytes of a PNG file, with its text metadata; empty if it cannot be encoded.
QByteArray encodePng(const QImage& image);

// Encodes each image in memory and stages it in `files` (see OutputFiles). "" or the reason.
std::string stagePngs(OutputFiles& files, const std::vector<PngOutput>& outputs);

// Writes every image or none, each whole: see OutputFiles. An existing file is replaced only
// when `replace` is set, and never when it is not a regular file or a symbolic link. On failure
// returns a one-line printable reason naming the path; on success an empty string.
std::string writePngs(const std::vector<PngOutput>& outputs, bool replace);

} // namespace genart
