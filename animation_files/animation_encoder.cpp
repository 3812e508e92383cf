#include "animation_files/animation_encoder.h"

#include "animation_files/mp4_module.h"
#include "animation_files/webp_animation.h"

namespace genart {

std::unique_ptr<AnimationEncoder> newAnimationEncoder(FileFormat format, int width, int height, int fps)
{
    if (format == FileFormat::WebP)
        return std::make_unique<WebpAnimation>(width, height, fps);
    return newMp4Animation(width, height, fps);
}

} // namespace genart
