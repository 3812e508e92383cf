#include "animation_files/mp4_animation.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace genart {
namespace {

constexpr int kIoBufferSize = 1 << 16;
// What libx264 holds grows with the frames it looks ahead, each a whole frame and its
// analysis (some 22 MB at 4K), and with the frames its threads have in flight. Medium's 40
// frames of look-ahead and 1.5 frame threads a core took a 4K loop to 1.7 GB. A loop whose 40
// frames take more than about this many bytes (larger than 900 x 900) gets that many bytes of
// look-ahead (15 frames at 1080p, 4 at 4K), and two threads share each frame by slices rather
// than holding a frame each; a smaller loop is encoded as FFmpeg's command line encodes it,
// with a frame thread for each half core, which is faster.
constexpr double kLookAheadBytes = 130e6;
constexpr int kFewestLookAhead = 4;
constexpr int kMostLookAhead = 40;
constexpr int kSlicedThreads = 2;

struct Threading {
    int threads; // 0: as many as x264 chooses
    std::string params;
};

Threading boundedEncoding(int width, int height)
{
    const double frameBytes = 4.0 * width * height;
    if (frameBytes * kMostLookAhead <= kLookAheadBytes)
        return {0, "rc-lookahead=" + std::to_string(kMostLookAhead)};
    const int frames = std::clamp(static_cast<int>(kLookAheadBytes / frameBytes), kFewestLookAhead, kMostLookAhead);
    return {kSlicedThreads, "rc-lookahead=" + std::to_string(frames) + ":sync-lookahead=0:sliced-threads=1"};
}

std::string averror(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

std::string failed(const std::string& what, int code)
{
    return "MP4 encoding failed: " + what + (code < 0 ? ": " + averror(code) : std::string());
}

const AVCodec* h264Encoder()
{
    if (const AVCodec* x264 = avcodec_find_encoder_by_name("libx264"))
        return x264;
    return avcodec_find_encoder(AV_CODEC_ID_H264);
}

} // namespace

int writeBytes(void* opaque, std::uint8_t* data, int size)
{
    auto& video = *static_cast<Mp4Animation*>(opaque);
    std::string failure = writeAt(video.fd_, static_cast<std::uint64_t>(video.position_), data, static_cast<std::size_t>(size));
    if (!failure.empty()) {
        video.writeFailure_ = std::move(failure);
        return AVERROR(EIO);
    }
    video.position_ += size;
    video.length_ = std::max(video.length_, video.position_);
    return size;
}

std::int64_t seekBytes(void* opaque, std::int64_t offset, int whence)
{
    auto& video = *static_cast<Mp4Animation*>(opaque);
    const std::int64_t size = video.length_;
    std::int64_t to = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return size;
    case SEEK_SET:
        to = offset;
        break;
    case SEEK_CUR:
        to = video.position_ + offset;
        break;
    case SEEK_END:
        to = size + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (to < 0)
        return AVERROR(EINVAL);
    video.position_ = to;
    return to;
}

Mp4Animation::Mp4Animation(int width, int height, int fps, int crf, int fd)
    : width_(evenSide(width)), height_(evenSide(height)), fd_(fd)
{
    // FFmpeg's own messages would reach the terminal; every failure is told by its result.
    av_log_set_level(AV_LOG_QUIET);
    if (width_ < 2 || height_ < 2) {
        failure_ = failed("the picture is too small for a video", 0);
        return;
    }
    const AVCodec* encoder = h264Encoder();
    if (!encoder) {
        failure_ = failed("this FFmpeg has no H.264 encoder", 0);
        return;
    }
    if (const int code = avformat_alloc_output_context2(&format_, nullptr, "mp4", nullptr); code < 0) {
        failure_ = failed("no MP4 muxer", code);
        return;
    }
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    format_->pb = avio_alloc_context(buffer, kIoBufferSize, 1, this, nullptr, &writeBytes, &seekBytes);
    if (!format_->pb) {
        av_free(buffer);
        failure_ = failed("out of memory", 0);
        return;
    }
    format_->flags |= AVFMT_FLAG_CUSTOM_IO;

    stream_ = avformat_new_stream(format_, nullptr);
    codec_ = avcodec_alloc_context3(encoder);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!stream_ || !codec_ || !frame_ || !packet_) {
        failure_ = failed("out of memory", 0);
        return;
    }
    codec_->width = width_;
    codec_->height = height_;
    codec_->time_base = {1, fps};
    codec_->framerate = {fps, 1};
    codec_->pix_fmt = AV_PIX_FMT_YUV420P;
    codec_->gop_size = fps * 2;
    // The conversion below uses the BT.601 matrix into the limited range; the file says so.
    codec_->color_range = AVCOL_RANGE_MPEG;
    codec_->colorspace = AVCOL_SPC_SMPTE170M;
    codec_->color_primaries = AVCOL_PRI_SMPTE170M;
    codec_->color_trc = AVCOL_TRC_SMPTE170M;
    if (format_->oformat->flags & AVFMT_GLOBALHEADER)
        codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // x264's own defaults, as FFmpeg's command line uses them: a rate factor of 18 made files
    // 1.75 times as large as FFmpeg's, and 23 shows no bands in the moving colours. The frame is
    // 4:2:0 (the 4:4:4 FFmpeg picks for RGB frames plays in few browsers), which also leaves
    // x264 half the colour planes to encode.
    av_opt_set(codec_->priv_data, "preset", "medium", 0);
    av_opt_set(codec_->priv_data, "crf", std::to_string(crf).c_str(), 0);
    const Threading threading = boundedEncoding(width_, height_);
    codec_->thread_count = threading.threads;
    av_opt_set(codec_->priv_data, "x264-params", threading.params.c_str(), 0);
    if (const int code = avcodec_open2(codec_, encoder, nullptr); code < 0) {
        failure_ = failed(std::string("cannot open ") + encoder->name, code);
        return;
    }
    if (const int code = avcodec_parameters_from_context(stream_->codecpar, codec_); code < 0) {
        failure_ = failed("cannot describe the stream", code);
        return;
    }
    stream_->time_base = codec_->time_base;
    stream_->avg_frame_rate = codec_->framerate;

    frame_->format = codec_->pix_fmt;
    frame_->width = width_;
    frame_->height = height_;
    frame_->color_range = codec_->color_range;
    frame_->colorspace = codec_->colorspace;
    if (const int code = av_frame_get_buffer(frame_, 0); code < 0) {
        failure_ = failed("out of memory for a frame", code);
        return;
    }
    convert_ = sws_getContext(width_, height_, AV_PIX_FMT_RGB32, width_, height_, AV_PIX_FMT_YUV420P,
                              SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
    if (!convert_) {
        failure_ = failed("cannot convert RGB to YUV", 0);
        return;
    }
    if (const int code = avformat_write_header(format_, nullptr); code < 0) {
        failure_ = failed("cannot write the header", code);
        return;
    }
}

Mp4Animation::~Mp4Animation()
{
    sws_freeContext(convert_);
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&codec_);
    if (format_) {
        if (format_->pb) {
            av_freep(&format_->pb->buffer);
            avio_context_free(&format_->pb);
        }
        avformat_free_context(format_);
    }
}

std::string Mp4Animation::add(const QImage& frame)
{
    if (!failure_.empty())
        return failure_;
    if (evenSide(frame.width()) != width_ || evenSide(frame.height()) != height_)
        return failed("a frame of the wrong size", 0);
    const QImage pixels = frame.format() == QImage::Format_RGB32 ? frame : frame.convertToFormat(QImage::Format_RGB32);
    if (const int code = av_frame_make_writable(frame_); code < 0)
        return failed("out of memory for a frame", code);
    const std::uint8_t* const source[] = {pixels.constBits()};
    const int sourceStride[] = {static_cast<int>(pixels.bytesPerLine())};
    sws_scale(convert_, source, sourceStride, 0, height_, frame_->data, frame_->linesize);
    frame_->pts = frames_++;
    if (const int code = avcodec_send_frame(codec_, frame_); code < 0)
        return failed("cannot encode a frame", code);
    return drain();
}

std::string Mp4Animation::drain()
{
    for (;;) {
        const int received = avcodec_receive_packet(codec_, packet_);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return {};
        if (received < 0)
            return failed("cannot encode a frame", received);
        av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        const int written = av_interleaved_write_frame(format_, packet_);
        av_packet_unref(packet_);
        if (!writeFailure_.empty())
            return writeFailure_;
        if (written < 0)
            return failed("cannot store a frame", written);
    }
}

std::string Mp4Animation::finish()
{
    if (!failure_.empty())
        return failure_;
    if (const int code = avcodec_send_frame(codec_, nullptr); code < 0)
        return failed("cannot finish encoding", code);
    if (std::string failure = drain(); !failure.empty())
        return failure;
    const int code = av_write_trailer(format_);
    avio_flush(format_->pb);
    if (!writeFailure_.empty())
        return writeFailure_;
    if (code < 0)
        return failed("cannot write the index", code);
    return {};
}

} // namespace genart
