#include "animation_files/animation_file.h"

#include <memory>

#include <sys/stat.h>

#include "animation_files/gif_animation.h"
#include "animation_files/mp4_animation.h"
#include "animation_files/mp4_module.h"
#include "animation_files/webp_animation.h"
#include "files/output_files.h"
#include "terminal_text/printable.h"
#include "files/webp_output.h"
#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"

namespace genart {
namespace {

std::unique_ptr<AnimationEncoder> encoderFor(FileFormat format, const AnimationRequest& request, int fd,
                                             const CyclingPicture& cycling, const std::string& recipe)
{
    const int width = request.size.width;
    const int height = request.size.height;
    const bool own = request.quality == kFormatsOwnQuality;
    if (format == FileFormat::WebP)
        return std::make_unique<WebpAnimation>(width, height, request.fps, request.frames, fd, recipe,
                                               own ? WebpAnimation::kLossless : request.quality);
    if (format == FileFormat::Gif)
        return std::make_unique<GifAnimation>(width, height, request.fps, cycling.entries(),
                                              std::string(kRecipeKey) + ": " + recipe, fd);
    return newMp4Animation(width, height, request.fps, own ? Mp4Animation::kDefaultCrf : request.quality, fd);
}

// The bytes in the file so far: what the encoder has written, which is all a budget counts.
std::size_t bytesIn(int fd)
{
    struct stat status {};
    return ::fstat(fd, &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0;
}

std::string sidesAtMost(const char* format, int side)
{
    return std::string("a ") + format + " loop is at most " + std::to_string(side) + " pixels wide and high";
}

} // namespace

std::string loopProblem(FileFormat format, const AnimationRequest& request)
{
    const int width = request.size.width;
    const int height = request.size.height;
    switch (format) {
    case FileFormat::WebP:
        if (width > kLargestWebpSide || height > kLargestWebpSide)
            return sidesAtMost("WebP", kLargestWebpSide);
        break;
    case FileFormat::Gif:
        if (width > GifAnimation::kLargestSide || height > GifAnimation::kLargestSide)
            return sidesAtMost("GIF", GifAnimation::kLargestSide);
        if (request.fps > GifAnimation::kMostFps)
            return "a GIF shows at most " + std::to_string(GifAnimation::kMostFps) + " frames a second";
        break;
    case FileFormat::Mp4: {
        const long long across = (Mp4Animation::evenSide(width) + 15) / 16;
        const long long down = (Mp4Animation::evenSide(height) + 15) / 16;
        if (width < 2 || height < 2)
            return "an MP4 loop is at least 2 pixels wide and high";
        if (across * down > Mp4Animation::kMostMacroblocks)
            return "an MP4 loop holds at most " + std::to_string(Mp4Animation::kMostMacroblocks * 256)
                + " pixels a frame (as 8192 x 4352)";
        break;
    }
    case FileFormat::Png:
    case FileFormat::Jpeg:
        return std::string("an animation is written as ") + kAnimationExtensions;
    }
    return {};
}

EncodedLoop encodeLoop(const Recipe& recipe, const AnimationRequest& request, FileFormat format, int fd,
                       std::size_t budget, const Progress& progress, const CancelToken* cancel)
{
    if (std::string problem = loopProblem(format, request); !problem.empty())
        return problem;
    const auto tell = [&](Stage stage, double done) {
        if (progress)
            progress(stage, done);
    };
    ImageSurface picture(request.size.width, request.size.height);
    ImageSurface strip(kStripWidth, kStripHeight);
    CyclingPicture cycling;
    if (!cycling.draw(recipe, picture, strip, request.size.scale, progress, cancel, request.caption))
        return Cancelled{};
    // The loop starts from the still picture, and its recipe draws that.
    Recipe still = recipe;
    still.cycle = {};

    // One frame at a time, each written to the file as it is encoded.
    const std::unique_ptr<AnimationEncoder> encoder = encoderFor(format, request, fd, cycling, recipeText(still));
    std::size_t firstBytes = 0;
    for (int t = 0; t < request.frames; ++t) {
        if (cancelled(cancel))
            return Cancelled{};
        cycling.paintFrame(t, request.frames, picture, strip);
        if (std::string failure = encoder->add(picture.image()); !failure.empty())
            return failure;
        const std::size_t bytes = bytesIn(fd);
        if (t == 0)
            firstBytes = bytes;
        if (budget > 0 && bytes > budget)
            return OverBudget{bytes, t + 1, firstBytes};
        tell(Stage::Encoding, static_cast<double>(t + 1) / request.frames);
    }
    tell(Stage::Writing, 0);
    if (std::string failure = encoder->finish(); !failure.empty())
        return failure;
    const std::size_t bytes = bytesIn(fd);
    if (budget > 0 && bytes > budget)
        return OverBudget{bytes, request.frames, firstBytes};
    return Encoded{bytes};
}

EncodedLoop stageLoop(OutputFiles& files, const std::string& path, const Recipe& recipe,
                      const AnimationRequest& request, FileFormat format, std::size_t budget,
                      const Progress& progress, const CancelToken* cancel)
{
    std::optional<EncodedLoop> encoded;
    const std::string failure = files.stage(path, [&](int fd) -> std::string {
        encoded = encodeLoop(recipe, request, format, fd, budget, progress, cancel);
        if (const auto* problem = std::get_if<std::string>(&*encoded))
            return *problem;
        // A loop stopped leaves nothing staged; the reason is told by `encoded`.
        return std::holds_alternative<Encoded>(*encoded) ? std::string() : std::string("stopped");
    });
    if (encoded && (std::holds_alternative<OverBudget>(*encoded) || std::holds_alternative<Cancelled>(*encoded)))
        return *encoded;
    if (!failure.empty())
        return failure; // the path and why: refused, encoding failed, or the file could not be written
    return *encoded;
}

std::optional<std::string> placeLoop(OutputFiles& files, const CancelToken* cancel)
{
    if (cancelled(cancel))
        return std::nullopt; // the staged file goes with `files`
    if (std::string failure = files.place(); !failure.empty())
        return failure;
    if (cancelled(cancel))
        return std::nullopt; // taken back with `files`
    return files.finish();
}


} // namespace genart
