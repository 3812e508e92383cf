#pragma once

#include <memory>

#include "animation_files/animation_encoder.h"

struct WebPAnimEncoder;

namespace genart {

// An animated WebP through libwebp's animation encoder: lossless, looping forever, each frame
// shown 1/fps of a second (in whole milliseconds, so that the loop as a whole keeps its
// length). A frame the same as the one before lengthens that one instead of adding another.
class WebpAnimation final : public AnimationEncoder {
public:
    WebpAnimation(int width, int height, int fps);
    ~WebpAnimation() override;

    std::string add(const QImage& frame) override;
    std::variant<QByteArray, std::string> finish() override;

private:
    int timestamp(int frame) const;

    int width_;
    int height_;
    int fps_;
    int frames_ = 0;
    WebPAnimEncoder* encoder_ = nullptr;
};

} // namespace genart
