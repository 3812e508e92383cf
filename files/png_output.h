#pragma once

#include <string>
#include <vector>

#include <QImage>

namespace genart {

struct PngOutput {
    std::string path;
    QImage image;
};

// Writes every image or none: each file goes to a temporary beside it and is renamed into
// place only when all were written; an existing file is replaced only when `replace` is set,
// and never when it is not a regular file. On failure returns a one-line reason naming the
// path; on success an empty string.
std::string writePngs(const std::vector<PngOutput>& outputs, bool replace);

} // namespace genart
