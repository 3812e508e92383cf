// Animations written as files: decoded again with libwebp's demuxer and probed with
// libavformat, frame for frame against the picture's colour cycle.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "animation_files/animation_file.h"
#include "support/loop_jobs.h"
#include "support/image_session.h"
#include "animation_files/loop_budget.h"
#include "animation_files/webp_animation.h"
#include "files/output_files.h"
#include "files/webp_recipe.h"
#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"
#include "support/decoded_webp.h"
#include "support/file_contents.h"

namespace genart {
namespace {

using testing::contents;
using testing::decodeWebp;
using testing::DecodedWebp;

QStringList filesIn(const QString& folder)
{
    QStringList files = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    files.sort();
    return files;
}

Recipe recipeOfSeed(std::uint32_t seed)
{
    return testing::ImageSession(seed).session.recipe();
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

TEST(AnimationFile, WebpHoldsEveryFrameLosslesslyLoopingWithItsRecipe)
{
    QTemporaryDir folder;
    const Recipe recipe = recipeOfSeed(42);
    const QString path = folder.filePath(QStringLiteral("loop.webp"));
    std::vector<int> told;
    const auto written = testing::writeLoop(recipe, {6, 30, {}, true}, path.toStdString(), false,
                                            [&](int done) { told.push_back(done); });
    ASSERT_EQ(written, std::optional<std::string>(""));
    EXPECT_EQ(told, (std::vector<int>{1, 2, 3, 4, 5, 6}));

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

// A picture of noise, which no encoder can shrink much.
QImage noise(int width, int height, std::uint32_t seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::uint32_t state = seed;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            image.setPixel(x, y, 0xff000000u | (state >> 8));
        }
    return image;
}

TEST(AnimationFile, WebpFramesGoToTheFileAsTheyComeAndTheContainerBoundsTheLoop)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("frames.webp"));
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    const QImage a = noise(64, 48, 1), b = noise(64, 48, 2);
    const auto fileSize = [&] {
        struct stat status {};
        ::fstat(fd, &status);
        return status.st_size;
    };
    {
        WebpAnimation webp(64, 48, 10, 5, fd, recipeText(recipeOfSeed(5)));
        ASSERT_EQ(webp.add(a), "");
        const off_t header = fileSize();
        ASSERT_EQ(webp.add(a), ""); // the same again: the first frame lasts longer
        ASSERT_EQ(webp.add(b), "");
        EXPECT_GT(fileSize(), header + 64 * 48 * 3) << "the first frame is in the file before the loop ends";
        ASSERT_EQ(webp.add(b), "");
        ASSERT_EQ(webp.add(a), "");
        ASSERT_EQ(webp.finish(), "");
    }
    ::close(fd);
    const QByteArray bytes = contents(path);
    const DecodedWebp decoded = decodeWebp(bytes);
    ASSERT_EQ(decoded.frames.size(), 3u);
    EXPECT_EQ(decoded.timestamps, (std::vector<int>{200, 400, 500}));
    EXPECT_TRUE(decoded.frames[0] == a && decoded.frames[1] == b && decoded.frames[2] == a);
    const WebpRecipe carried = webpRecipe(bytes);
    ASSERT_TRUE(carried.recipe) << carried.problem;

    // 100,000 frames of a 1000 x 1000 picture (87 kB each) would come to some 9 GB: refused at
    // the first frame (or, should that fail, cancelled a few frames on).
    const QString tooLarge = folder.filePath(QStringLiteral("too-large.webp"));
    CancelToken giveUp;
    const auto refused = testing::writeLoop(
        recipeOfSeed(5), {static_cast<int>(kFrames.highest), 30, PictureSize::covering(1000, 1000), false},
        tooLarge.toStdString(), false, [&](int done) { if (done > 3) giveUp.cancel(); }, &giveUp);
    ASSERT_TRUE(refused) << "the loop was begun";
    EXPECT_NE(refused->find("more than the 4 GiB a WebP holds"), std::string::npos) << *refused;
    EXPECT_FALSE(QFile::exists(tooLarge));
}

TEST(AnimationFile, ABudgetStopsEachTryAsItsFilePassesItAndKeepsOnlyTheLoopThatFits)
{
    QTemporaryDir folder;
    const Recipe recipe = recipeOfSeed(4);
    const std::string over = folder.filePath(QStringLiteral("over.webp")).toStdString();
    int told = 0;
    {
        // A lossless frame of 600 x 450 is some 160 kB: the file passes 20 kB at the first
        // frame written, long before the 120th.
        OutputFiles files(false, newRunToken());
        const EncodedLoop stopped = stageLoop(files, over, recipe, {120, 30, {}, true}, FileFormat::WebP, 20'000,
                                              [&](Stage stage, double done) {
                                                  if (stage == Stage::Encoding)
                                                      told = static_cast<int>(done * 120 + 0.5);
                                              });
        const auto* overBudget = std::get_if<OverBudget>(&stopped);
        ASSERT_TRUE(overBudget);
        EXPECT_GT(overBudget->bytes, 20'000u);
        EXPECT_LE(overBudget->frames, 3);
        EXPECT_LT(told, 3);
        EXPECT_EQ(placeLoop(files), std::optional<std::string>("")); // nothing staged, nothing placed
    }
    EXPECT_EQ(filesIn(folder.path()), QStringList());

    // A WebP fitted in 150 kB comes down to lossy frames in the streamed container.
    const std::string out = folder.filePath(QStringLiteral("fitted.webp")).toStdString();
    OutputFiles files(false, newRunToken());
    LoopFitting fitting =
        fitLoop(recipe, {20, 30, PictureSize::covering(320, 240), true}, FileFormat::WebP, 150'000, files, out);
    const auto* fitted = std::get_if<FittedLoop>(&fitting);
    ASSERT_TRUE(fitted) << (std::holds_alternative<std::string>(fitting) ? std::get<std::string>(fitting) : "");
    EXPECT_LT(fitted->request.quality, WebpAnimation::kLossless);
    ASSERT_EQ(placeLoop(files), std::optional<std::string>(""));
    const QByteArray bytes = contents(QString::fromStdString(out));
    EXPECT_EQ(static_cast<std::size_t>(bytes.size()), fitted->bytes);
    EXPECT_LE(fitted->bytes, 150'000u);
    const DecodedWebp decoded = decodeWebp(bytes);
    ASSERT_FALSE(decoded.frames.empty());
    EXPECT_EQ(decoded.frames[0].size(), QSize(fitted->request.size.width, fitted->request.size.height));
    EXPECT_EQ(decoded.timestamps.back(), 667) << "the last frame ends with the loop";
    EXPECT_TRUE(webpRecipe(bytes).recipe);
    EXPECT_EQ(filesIn(folder.path()), QStringList{QStringLiteral("fitted.webp")});
}

TEST(AnimationFile, Mp4IsH264OfEveryFrameAtItsSizeAndRate)
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
        ASSERT_EQ(testing::writeLoop(recipe, {c.frames, c.fps, c.size, true}, path.toStdString(), false),
                  std::optional<std::string>(""));
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

TEST(AnimationFile, FailuresAndCancelsLeaveNothing)
{
    QTemporaryDir folder;
    const Recipe recipe = recipeOfSeed(3);
    const AnimationRequest small{3, 30, {}, false};

    // No such folder.
    const QString missing = folder.filePath(QStringLiteral("nowhere/loop.webp"));
    const auto failure = testing::writeLoop(recipe, small, missing.toStdString(), false);
    ASSERT_TRUE(failure && !failure->empty());
    EXPECT_NE(failure->find("nowhere/loop.webp: cannot"), std::string::npos) << *failure;
    EXPECT_EQ(failure->find('\n'), std::string::npos);

    // Neither an animation nor anything at all.
    for (const char* name : {"loop.png", "loop"})
        EXPECT_NE(testing::writeLoop(recipe, small, folder.filePath(QString::fromLatin1(name)).toStdString(), false),
                  std::optional<std::string>(""))
            << name;

    // An existing file is kept unless replacing was asked for.
    const QString kept = folder.filePath(QStringLiteral("kept.mp4"));
    testing::put(kept, "mine");
    EXPECT_NE(testing::writeLoop(recipe, small, kept.toStdString(), false), std::optional<std::string>(""));
    EXPECT_EQ(contents(kept), "mine");
    EXPECT_EQ(testing::writeLoop(recipe, small, kept.toStdString(), true), std::optional<std::string>(""));
    EXPECT_NE(contents(kept), "mine");

    // Cancelled halfway through the frames.
    CancelToken cancel;
    const auto cancelled = testing::writeLoop(
        recipe, {10, 30, {}, true}, folder.filePath(QStringLiteral("cancelled.webp")).toStdString(), false,
        [&](int done) { if (done >= 5) cancel.cancel(); }, &cancel);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(filesIn(folder.path()), QStringList{QStringLiteral("kept.mp4")});
}

} // namespace
} // namespace genart
