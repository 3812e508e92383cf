#pragma once

#include <string>
#include <vector>

#include <QImage>

#include "files/image_encoding.h"
#include "files/output_files.h"

namespace genart {

// One picture file to write: the image, in the format its path's extension names, carrying
// the recipe (if any) where the format holds text.
struct ImageOutput {
    std::string path;
    QImage image;
    std::string recipe;
};

// Encodes each image in memory and stages it in `files` (see OutputFiles). "" or the reason.
std::string stageImages(OutputFiles& files, const std::vector<ImageOutput>& outputs,
                        const EncodeSettings& settings = {});

// Writes every image or none, each whole: see OutputFiles. An existing file is replaced only
// when `replace` is set, and never when it is not a regular file or a symbolic link. On failure
// returns a one-line printable reason naming the path; on success an empty string.
std::string writeImages(const std::vector<ImageOutput>& outputs, bool replace, const EncodeSettings& settings = {});

} // namespace genart
