#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "animation_files/animation_encoder.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

namespace genart {

// An H.264 video in an MP4 file through FFmpeg's libraries: libx264 where libavcodec has it
// (otherwise its best H.264 encoder), 4:2:0 (yuv420p) with BT.601 colours, `fps` frames a
// second. 4:2:0 needs even sides: an odd width or height loses its last column or row.
// The file is written into `fd` as the muxer makes it (it goes back to fill in sizes). The
// encoder's look-ahead and threads are bounded, so that a 4K loop is made in a few hundred
// megabytes.
class Mp4Animation final : public AnimationEncoder {
public:
    // `crf`: x264's constant rate factor, lower for finer pictures and larger files.
    Mp4Animation(int width, int height, int fps, int crf, int fd);
    ~Mp4Animation() override;

    std::string add(const QImage& frame) override;
    std::string finish() override;

    static constexpr int kDefaultCrf = 23;
    static constexpr int kWorstCrf = 35; // the coarsest a loop fitted to a budget is made
    // The largest frame H.264 holds (level 6.2), in macroblocks of 16 by 16 pixels.
    static constexpr long long kMostMacroblocks = 139264;

    // The sides the video has for a picture of `width` by `height`.
    static int evenSide(int side) { return side & ~1; }

private:
    // Hands every packet the encoder has ready to the muxer. "" or why not.
    std::string drain();

    int width_;
    int height_;
    std::int64_t frames_ = 0;
    std::string failure_; // why the encoder could not be set up
    // The file the muxer writes, with its write position and length, and why a write failed.
    int fd_;
    std::int64_t position_ = 0;
    std::int64_t length_ = 0;
    std::string writeFailure_;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVStream* stream_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* convert_ = nullptr;

    friend int writeBytes(void* opaque, std::uint8_t* data, int size);
    friend std::int64_t seekBytes(void* opaque, std::int64_t offset, int whence);
};

} // namespace genart
