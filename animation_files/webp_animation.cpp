#include "animation_files/webp_animation.h"

#include <cmath>

#include <webp/encode.h>

#include "animation_files/animation_file.h"
#include "files/webp_recipe.h"

namespace genart {
namespace {

// Lossless at a low effort: a frame of 600 x 450 takes about 70 ms here and some 160 kB;
// effort 3 saves an eighth of the size for two and a half times the wait.
constexpr int kLosslessLevel = 1;
// A loop's recipe is read back through its chunks, one a frame and a few more.
static_assert(kFrames.highest + 8 <= kMostWebpChunks);

// A frame's duration is a 24-bit number of milliseconds.
constexpr int kLongestDuration = 0xffffff;

std::string why(const std::string& what)
{
    return "WebP encoding failed: " + what;
}

void putLittleEndian(std::string& bytes, std::uint32_t value, int size)
{
    for (int n = 0; n < size; ++n)
        bytes += static_cast<char>((value >> (8 * n)) & 0xff);
}

std::string chunk(const char* name, const std::string& payload)
{
    std::string bytes(name, 4);
    putLittleEndian(bytes, static_cast<std::uint32_t>(payload.size()), 4);
    bytes += payload;
    if (payload.size() % 2 != 0)
        bytes += '\0';
    return bytes;
}

int writeToString(const std::uint8_t* data, std::size_t size, const WebPPicture* picture)
{
    static_cast<std::string*>(picture->custom_ptr)->append(reinterpret_cast<const char*>(data), size);
    return 1;
}

} // namespace

WebpAnimation::WebpAnimation(int width, int height, int fps, int frames, int fd, std::string recipe, int quality)
    : width_(width), height_(height), fps_(fps), frames_(frames), fd_(fd), recipe_(std::move(recipe)), quality_(quality)
{
    failure_ = start();
}

int WebpAnimation::timestamp(int frame) const
{
    return static_cast<int>(std::lround(frame * 1000.0 / fps_));
}

std::string WebpAnimation::append(const std::string& bytes)
{
    if (end_ + bytes.size() > kLargestFile)
        return "the loop comes to more than the 4 GiB a WebP holds; fewer frames, a smaller size or MP4 fit";
    if (std::string failure = writeAt(fd_, end_, bytes.data(), bytes.size()); !failure.empty())
        return failure;
    end_ += bytes.size();
    return {};
}

// The RIFF header (its length filled in at the end), the canvas with the animation and XMP
// flags, and the animation's loop: forever, on a white background.
std::string WebpAnimation::start()
{
    std::string canvas(1, static_cast<char>(0x02 | 0x04)); // animation, XMP metadata
    canvas.append(3, '\0');
    putLittleEndian(canvas, static_cast<std::uint32_t>(width_ - 1), 3);
    putLittleEndian(canvas, static_cast<std::uint32_t>(height_ - 1), 3);
    std::string loop;
    putLittleEndian(loop, 0xffffffffu, 4); // background colour
    putLittleEndian(loop, 0, 2);           // loop count: forever
    return append(std::string("RIFF\0\0\0\0WEBP", 12) + chunk("VP8X", canvas) + chunk("ANIM", loop));
}

std::string WebpAnimation::encoded(const QImage& frame, std::string& image) const
{
    WebPConfig config;
    if (!WebPConfigInit(&config) || !WebPConfigLosslessPreset(&config, kLosslessLevel))
        return why("cannot set up lossless encoding");
    if (quality_ < kLossless) {
        config.lossless = 0;
        config.quality = static_cast<float>(quality_);
    }
    config.thread_level = 1;
    WebPPicture picture;
    if (!WebPPictureInit(&picture))
        return why("cannot set up a frame");
    picture.use_argb = 1;
    picture.width = width_;
    picture.height = height_;
    std::string still;
    picture.writer = writeToString;
    picture.custom_ptr = &still;
    const QImage pixels = frame.format() == QImage::Format_RGB32 ? frame : frame.convertToFormat(QImage::Format_RGB32);
    // Format_RGB32 keeps each pixel as 0xffRRGGBB in memory order B, G, R, X.
    const bool imported = WebPPictureImportBGRX(&picture, pixels.constBits(), static_cast<int>(pixels.bytesPerLine()));
    const bool done = imported && WebPEncode(&config, &picture);
    WebPPictureFree(&picture);
    if (!done)
        return why(imported ? "cannot encode a frame" : "out of memory for a frame");
    // A still without alpha or metadata: "RIFF", its length, "WEBP", then its one VP8L chunk
    // (lossless) or "VP8 " chunk (lossy).
    if (still.size() < 20 || (still.compare(12, 4, "VP8L") != 0 && still.compare(12, 4, "VP8 ") != 0))
        return why("libwebp wrote a frame of another kind");
    image = still.substr(12);
    return {};
}

std::string WebpAnimation::writePending(int ends)
{
    std::string frame; // at the top left, the whole canvas, not blended with the frame before
    putLittleEndian(frame, 0, 3);
    putLittleEndian(frame, 0, 3);
    putLittleEndian(frame, static_cast<std::uint32_t>(width_ - 1), 3);
    putLittleEndian(frame, static_cast<std::uint32_t>(height_ - 1), 3);
    putLittleEndian(frame, static_cast<std::uint32_t>(ends - pendingStarts_), 3);
    frame += static_cast<char>(0x02);
    return append(chunk("ANMF", frame + pending_));
}

std::string WebpAnimation::add(const QImage& frame)
{
    if (!failure_.empty())
        return failure_;
    if (frame.width() != width_ || frame.height() != height_)
        return failure_ = why("a frame of the wrong size");
    std::string image;
    if (std::string failure = encoded(frame, image); !failure.empty())
        return failure_ = failure;
    if (added_ == 0 && 12 + 18 + 14 + (24 + image.size()) * static_cast<std::uint64_t>(frames_) > kLargestFile)
        return failure_ = "the loop would come to more than the 4 GiB a WebP holds; fewer frames, a smaller size "
                          "or MP4 fit";
    const int starts = timestamp(added_++);
    // The same picture again shows the one before for longer.
    if (!pending_.empty() && image == pending_ && timestamp(added_) - pendingStarts_ <= kLongestDuration)
        return {};
    if (!pending_.empty())
        if (std::string failure = writePending(starts); !failure.empty())
            return failure_ = failure;
    pending_ = std::move(image);
    pendingStarts_ = starts;
    return {};
}

std::string WebpAnimation::finish()
{
    if (!failure_.empty())
        return failure_;
    if (pending_.empty())
        return failure_ = why("an animation without frames");
    const QByteArray packet = webpXmpPacket(recipe_);
    std::string failure = writePending(timestamp(added_));
    if (failure.empty())
        failure = append(chunk("XMP ", std::string(packet.constData(), static_cast<std::size_t>(packet.size()))));
    std::string riffLength;
    putLittleEndian(riffLength, static_cast<std::uint32_t>(end_ - 8), 4);
    if (failure.empty())
        failure = writeAt(fd_, 4, riffLength.data(), riffLength.size());
    return failure_ = failure;
}

} // namespace genart
