// Loops written as files by the picture job: decoded again with libwebp's demuxer and probed
// with libavformat, frame for frame against the picture's colour cycle.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include <QDir>
#include <QTemporaryDir>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "files/webp_recipe.h"
#include "picture_files/run_picture_job.h"
#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"
#include "support/decoded_webp.h"
#include "support/file_contents.h"
#include "support/image_session.h"

namespace genart {
namespace {

using testing::contents;
using testing::decodeWebp;
using testing::DecodedWebp;

Recipe recipeOfSeed(std::uint32_t seed)
{
    return testing::ImageSession(seed).session.recipe();
}

// A loop of the recipe's picture at `size`, written to `path`.
JobOutcome writeLoop(const Recipe& recipe, const Loop& loop, const PictureSize& size, const QString& path,
                     const Progress& progress = {})
{
    PictureJob job;
    job.source = RecipeSource{recipe};
    job.size = size;
    job.loop = loop;
    job.path = path.toStdString();
    return runPictureJob(job, progress);
}

// Frame t of `frames` as the core paints it, caption included.
QImage expectedFrame(const Recipe& recipe, int t, int frames, const PictureSize& size = {})
{
    ImageSurface picture(size.width, size.height);
    ImageSurface strip(kStripWidth, kStripHeight);
    CyclingPicture cycling;
    cycling.draw(recipe, picture, strip, size.scale);
    cycling.paintFrame(t, frames, picture, strip);
    return picture.image();
}

struct ProbedVideo {
    std::string codec;
    int width = 0;
    int height = 0;
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
    double fps = 0;
    int frames = 0;     // packets read
    QImage firstFrame;  // decoded and turned back into RGB
};

ProbedVideo probeVideo(const QString& path)
{
    ProbedVideo probed;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.toLocal8Bit().constData(), nullptr, nullptr) < 0)
        return probed;
    avformat_find_stream_info(format, nullptr);
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index >= 0) {
        const AVStream* stream = format->streams[index];
        const AVCodecParameters* parameters = stream->codecpar;
        probed.codec = avcodec_get_name(parameters->codec_id);
        probed.width = parameters->width;
        probed.height = parameters->height;
        probed.pixelFormat = static_cast<AVPixelFormat>(parameters->format);
        probed.fps = av_q2d(stream->avg_frame_rate);
        const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
        AVCodecContext* decoder = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoder, parameters);
        avcodec_open2(decoder, codec, nullptr);
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        const auto keepFirst = [&] {
            while (probed.firstFrame.isNull() && avcodec_receive_frame(decoder, frame) == 0) {
                QImage rgb(frame->width, frame->height, QImage::Format_RGB32);
                SwsContext* convert = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                                     frame->width, frame->height, AV_PIX_FMT_RGB32,
                                                     SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr,
                                                     nullptr, nullptr);
                uint8_t* const target[] = {rgb.bits()};
                const int stride[] = {static_cast<int>(rgb.bytesPerLine())};
                sws_scale(convert, frame->data, frame->linesize, 0, frame->height, target, stride);
                sws_freeContext(convert);
                probed.firstFrame = rgb;
            }
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index) {
                ++probed.frames;
                if (probed.firstFrame.isNull()) {
                    avcodec_send_packet(decoder, packet);
                    keepFirst();
                }
            }
            av_packet_unref(packet);
        }
        avcodec_send_packet(decoder, nullptr);
        keepFirst();
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
    }
    avformat_close_input(&format);
    return probed;
}

// The mean difference of all colour components, 0 to 255.
double meanDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

TEST(LoopFile, WebpHoldsEveryFrameLosslesslyLoopingWithItsRecipe)
{
    QTemporaryDir folder;
    const Recipe recipe = recipeOfSeed(42);
    const QString path = folder.filePath(QStringLiteral("loop.webp"));
    std::vector<long> framesTold;
    const JobOutcome written = writeLoop(recipe, {6, 30}, {}, path, [&](Stage stage, double done) {
        if (stage == Stage::Encoding)
            framesTold.push_back(std::lround(done * 6));
    });
    ASSERT_TRUE(written.written()) << written.failure;
    EXPECT_EQ(framesTold, (std::vector<long>{1, 2, 3, 4, 5, 6}));

    const QByteArray bytes = contents(path);
    const DecodedWebp decoded = decodeWebp(bytes);
    ASSERT_EQ(decoded.frames.size(), 6u);
    EXPECT_EQ(decoded.loopCount, 0); // forever
    EXPECT_EQ(decoded.timestamps, (std::vector<int>{33, 67, 100, 133, 167, 200}));
    // Frame 0 is the still picture, caption and all; the others are the core's frames.
    ImageSurface still(kPictureWidth, kPictureHeight);
    ImageSurface stillStrip(kStripWidth, kStripHeight);
    drawRecipe(recipe, still, stillStrip);
    EXPECT_TRUE(decoded.frames[0] == still.image());
    for (const int t : {1, 4})
        EXPECT_TRUE(decoded.frames[static_cast<std::size_t>(t)] == expectedFrame(recipe, t, 6)) << "frame " << t;
    EXPECT_FALSE(decoded.frames[3] == decoded.frames[0]);

    const WebpRecipe carried = webpRecipe(bytes);
    ASSERT_TRUE(carried.recipe) << carried.problem;
    const auto parsed = parseRecipe(*carried.recipe);
    ASSERT_TRUE(std::holds_alternative<Recipe>(parsed));
    EXPECT_TRUE(std::get<Recipe>(parsed) == recipe);
}

TEST(LoopFile, Mp4IsH264OfEveryFrameAtItsSizeAndRate)
{
    QTemporaryDir folder;
    const Recipe recipe = recipeOfSeed(7);
    struct Case {
        PictureSize size;
        int frames, fps, videoWidth, videoHeight;
    };
    // The normal picture; a larger one cut to odd sides, which 4:2:0 video makes even.
    for (const Case& c : {Case{{}, 12, 30, 600, 450}, Case{PictureSize{301, 201, 1}, 5, 12, 300, 200}}) {
        const QString path = folder.filePath(QStringLiteral("loop-%1.mp4").arg(c.frames));
        ASSERT_TRUE(writeLoop(recipe, {c.frames, c.fps}, c.size, path).written());
        const ProbedVideo video = probeVideo(path);
        EXPECT_EQ(video.codec, "h264");
        EXPECT_EQ(video.width, c.videoWidth);
        EXPECT_EQ(video.height, c.videoHeight);
        EXPECT_EQ(video.pixelFormat, AV_PIX_FMT_YUV420P);
        EXPECT_DOUBLE_EQ(video.fps, c.fps);
        EXPECT_EQ(video.frames, c.frames);
        // Lossy, and 4:2:0 halves the colour detail, but close to the still picture: with red and
        // blue swapped or the range wrong it is 60 and more away, as far as another frame is.
        const QImage still = expectedFrame(recipe, 0, c.frames, c.size).copy(0, 0, c.videoWidth, c.videoHeight);
        EXPECT_LT(meanDifference(video.firstFrame, still), 8.0) << c.videoWidth << " x " << c.videoHeight;
        EXPECT_GT(meanDifference(video.firstFrame, expectedFrame(recipe, c.frames / 2, c.frames, c.size)
                                                       .copy(0, 0, c.videoWidth, c.videoHeight)),
                  30.0);
    }
}

} // namespace
} // namespace genart
