#pragma once

#include <cstdint>
#include <string>

#include <QImage>

#include "files/file_calls.h"

namespace genart {

// Takes an animation's frames one at a time, in order, and writes the file as it goes into a
// descriptor open for writing (a staged file: see OutputFiles), so that neither the frames nor
// the encoded file are ever held whole: one frame and what the encoder itself keeps.
class AnimationEncoder {
public:
    virtual ~AnimationEncoder() = default;

    // Encodes the next frame, which has the size the encoder was made for. "" or why not.
    virtual std::string add(const QImage& frame) = 0;
    // Writes the rest of the file once every frame is in. "" or why it could not be finished.
    virtual std::string finish() = 0;
};

// Writes `size` bytes at `offset` of the file: "" or the system's reason.
inline std::string writeAt(int fd, std::uint64_t offset, const void* bytes, std::size_t size)
{
    return writeAt(systemFileCalls(), fd, offset, bytes, size);
}

} // namespace genart
