#pragma once

#include <memory>
#include <string>
#include <variant>

#include <QByteArray>
#include <QImage>

#include "file_formats/file_format.h"

namespace genart {

// Takes an animation's frames one at a time, in order, so that no more than one of them need
// exist at once, and gives the finished file's bytes.
class AnimationEncoder {
public:
    virtual ~AnimationEncoder() = default;

    // Encodes the next frame, which has the size the encoder was made for. "" or why not.
    virtual std::string add(const QImage& frame) = 0;
    // The whole file once every frame is in, or why it could not be finished.
    virtual std::variant<QByteArray, std::string> finish() = 0;
};

// The encoder for an animation of `format` (WebP or MP4), `width` by `height`, `fps` frames a
// second.
std::unique_ptr<AnimationEncoder> newAnimationEncoder(FileFormat format, int width, int height, int fps);

} // namespace genart
