#pragma once

#include <string>
#include <variant>

#include <QByteArray>
#include <QImage>

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
    // The bytes of the file so far, where the encoder can tell while it works (0 where not), so
    // that a loop growing past a budget can be stopped early.
    virtual std::size_t size() const { return 0; }
};

} // namespace genart
