#pragma once

#include <memory>

#include "animation_files/animation_encoder.h"

struct WebPAnimEncoder;

namespace genart {

// An animated WebP through libwebp's animation encoder: lossless (or lossy), looping forever, each frame
// shown 1/fps of a second (in whole milliseconds, so that the loop as a whole keeps its
// length). A frame the same as the one before lengthens that one instead of adding another.
class WebpAnimation final : public AnimationEncoder {
public:
    // `quality`: 100 lossless, every pixel exact; below, lossy at that quality.
    WebpAnimation(int width, int height, int fps, int quality = kLossless);
    ~WebpAnimation() override;

    std::string add(const QImage& frame) override;
    std::variant<QByteArray, std::string> finish() override;

    static constexpr int kLossless = 100;

private:
    int timestamp(int frame) const;

    int width_;
    int height_;
    int fps_;
    int quality_;
    int frames_ = 0;
    WebPAnimEncoder* encoder_ = nullptr;
};

} // namespace genart
