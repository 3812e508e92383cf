#include "animation_files/animation_file.h"

#include <memory>

#include "animation_files/gif_animation.h"
#include "animation_files/mp4_animation.h"
#include "animation_files/mp4_module.h"
#include "animation_files/webp_animation.h"
#include "files/output_files.h"
#include "files/printable.h"
#include "files/webp_output.h"
#include "files/webp_recipe.h"
#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"

namespace genart {
namespace {

std::unique_ptr<AnimationEncoder> encoderFor(FileFormat format, const AnimationRequest& request,
                                             const CyclingPicture& cycling, const std::string& recipe)
{
    const int width = request.size.width;
    const int height = request.size.height;
    const bool own = request.quality == kFormatsOwnQuality;
    if (format == FileFormat::WebP)
        return std::make_unique<WebpAnimation>(width, height, request.fps, own ? WebpAnimation::kLossless : request.quality);
    if (format == FileFormat::Gif)
        return std::make_unique<GifAnimation>(width, height, request.fps, cycling.entries(),
                                              std::string(kRecipeKey) + ": " + recipe);
    return newMp4Animation(width, height, request.fps, own ? Mp4Animation::kDefaultCrf : request.quality);
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

EncodedLoop encodeLoop(const Recipe& recipe, const AnimationRequest& request, FileFormat format, std::size_t budget,
                       const AnimationProgress& progress, const std::atomic<bool>* cancel)
{
    if (std::string problem = loopProblem(format, request); !problem.empty())
        return problem;
    const auto cancelled = [cancel] { return cancel && cancel->load(); };
    const auto tell = [&](int done) {
        if (progress)
            progress(done, request.frames);
    };
    tell(0);
    ImageSurface picture(request.size.width, request.size.height);
    ImageSurface strip(kStripWidth, kStripHeight);
    CyclingPicture cycling;
    if (!cycling.draw(recipe, picture, strip, request.size.scale, {}, cancel, request.caption))
        return Cancelled{};
    // The loop starts from the still picture, and its recipe draws that.
    Recipe still = recipe;
    still.cycle = {};
    const std::string text = recipeText(still);

    // One frame at a time: the encoder keeps what it has encoded, never the frames themselves.
    const std::unique_ptr<AnimationEncoder> encoder = encoderFor(format, request, cycling, text);
    std::size_t firstBytes = 0;
    for (int t = 0; t < request.frames; ++t) {
        if (cancelled())
            return Cancelled{};
        cycling.paintFrame(t, request.frames, picture, strip);
        if (std::string failure = encoder->add(picture.image()); !failure.empty())
            return failure;
        if (t == 0)
            firstBytes = encoder->size();
        if (budget > 0 && encoder->size() > budget)
            return OverBudget{encoder->size(), t + 1, firstBytes};
        tell(t + 1);
    }
    auto finished = encoder->finish();
    if (auto* failure = std::get_if<std::string>(&finished))
        return std::move(*failure);
    QByteArray bytes = std::move(std::get<QByteArray>(finished));
    if (format == FileFormat::WebP) {
        bytes = withWebpRecipe(bytes, text);
        if (bytes.isEmpty())
            return std::string("cannot add the recipe to the WebP");
    }
    if (budget > 0 && static_cast<std::size_t>(bytes.size()) > budget)
        return OverBudget{static_cast<std::size_t>(bytes.size()), request.frames, firstBytes};
    return bytes;
}

std::optional<std::string> placeLoop(const std::string& path, const QByteArray& bytes, bool replace,
                                     const std::atomic<bool>* cancel)
{
    const auto cancelled = [cancel] { return cancel && cancel->load(); };
    if (cancelled())
        return std::nullopt;
    OutputFiles files(replace, newRunToken());
    if (std::string failure = files.stage(path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        !failure.empty())
        return failure;
    if (cancelled())
        return std::nullopt; // the staged file goes with `files`
    if (std::string failure = files.place(); !failure.empty())
        return failure;
    if (cancelled())
        return std::nullopt; // taken back with `files`
    return files.finish();
}

std::optional<std::string> writeAnimation(const Recipe& recipe, const AnimationRequest& request,
                                          const std::string& path, bool replace, const AnimationProgress& progress,
                                          const std::atomic<bool>* cancel)
{
    const auto cannotWrite = [&](const std::string& why) { return printable(path) + ": cannot write: " + why; };
    const std::optional<FileFormat> format = formatOfPath(path);
    if (!format || !isAnimationFormat(*format))
        return cannotWrite(std::string("an animation is written as ") + kAnimationExtensions);
    EncodedLoop encoded = encodeLoop(recipe, request, *format, 0, progress, cancel);
    if (std::holds_alternative<Cancelled>(encoded))
        return std::nullopt;
    if (const auto* failure = std::get_if<std::string>(&encoded))
        return cannotWrite(*failure);
    return placeLoop(path, std::get<QByteArray>(encoded), replace, cancel);
}

} // namespace genart
