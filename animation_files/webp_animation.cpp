#include "animation_files/webp_animation.h"

#include <cmath>

#include <webp/encode.h>
#include <webp/mux.h>

namespace genart {
namespace {

// Lossless at a low effort: a frame of 600 x 450 takes about 70 ms here and some 160 kB;
// effort 3 saves an eighth of the size for two and a half times the wait.
constexpr int kLosslessLevel = 1;

std::string why(const WebPAnimEncoder* encoder, const char* what)
{
    const char* detail = encoder ? WebPAnimEncoderGetError(const_cast<WebPAnimEncoder*>(encoder)) : nullptr;
    return std::string("WebP encoding failed: ") + what + (detail && *detail ? std::string(": ") + detail : "");
}

} // namespace

WebpAnimation::WebpAnimation(int width, int height, int fps, int quality)
    : width_(width), height_(height), fps_(fps), quality_(quality)
{
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options))
        return;
    options.anim_params.loop_count = 0; // forever
    options.allow_mixed = 0;            // every frame lossless, or every frame lossy
    encoder_ = WebPAnimEncoderNew(width, height, &options);
}

WebpAnimation::~WebpAnimation()
{
    WebPAnimEncoderDelete(encoder_);
}

int WebpAnimation::timestamp(int frame) const
{
    return static_cast<int>(std::lround(frame * 1000.0 / fps_));
}

std::string WebpAnimation::add(const QImage& frame)
{
    if (!encoder_)
        return why(nullptr, "cannot start the animation encoder");
    if (frame.width() != width_ || frame.height() != height_)
        return why(nullptr, "a frame of the wrong size");
    WebPConfig config;
    if (!WebPConfigInit(&config) || !WebPConfigLosslessPreset(&config, kLosslessLevel))
        return why(nullptr, "cannot set up lossless encoding");
    if (quality_ < kLossless) {
        config.lossless = 0;
        config.quality = static_cast<float>(quality_);
    }
    config.thread_level = 1;
    WebPPicture picture;
    if (!WebPPictureInit(&picture))
        return why(nullptr, "cannot set up a frame");
    picture.use_argb = 1;
    picture.width = width_;
    picture.height = height_;
    const QImage pixels = frame.format() == QImage::Format_RGB32 ? frame : frame.convertToFormat(QImage::Format_RGB32);
    // Format_RGB32 keeps each pixel as 0xffRRGGBB in memory order B, G, R, X.
    const bool imported = WebPPictureImportBGRX(&picture, pixels.constBits(), static_cast<int>(pixels.bytesPerLine()));
    const bool added = imported && WebPAnimEncoderAdd(encoder_, &picture, timestamp(frames_), &config);
    WebPPictureFree(&picture);
    if (!imported)
        return why(nullptr, "out of memory for a frame");
    if (!added)
        return why(encoder_, "cannot add a frame");
    ++frames_;
    return {};
}

std::variant<QByteArray, std::string> WebpAnimation::finish()
{
    if (!encoder_)
        return why(nullptr, "cannot start the animation encoder");
    // The end of the last frame sets its duration.
    if (!WebPAnimEncoderAdd(encoder_, nullptr, timestamp(frames_), nullptr))
        return why(encoder_, "cannot close the last frame");
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAssemble(encoder_, &data))
        return why(encoder_, "cannot assemble the animation");
    QByteArray bytes(reinterpret_cast<const char*>(data.bytes), static_cast<qsizetype>(data.size));
    WebPDataClear(&data);
    return bytes;
}

} // namespace genart
