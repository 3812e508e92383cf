#include "animation_files/animation_file.h"

#include <memory>

#include "animation_files/mp4_module.h"
#include "animation_files/webp_animation.h"
#include "files/file_format.h"
#include "files/output_files.h"
#include "files/printable.h"
#include "files/webp_recipe.h"
#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"

namespace genart {
namespace {

std::unique_ptr<AnimationEncoder> encoderFor(FileFormat format, int width, int height, int fps)
{
    if (format == FileFormat::WebP)
        return std::make_unique<WebpAnimation>(width, height, fps);
    return newMp4Animation(width, height, fps);
}

} // namespace

std::optional<std::string> writeAnimation(const Recipe& recipe, const AnimationRequest& request,
                                          const std::string& path, bool replace, const AnimationProgress& progress,
                                          const std::atomic<bool>* cancel)
{
    const auto cannotWrite = [&](const std::string& why) { return printable(path) + ": cannot write: " + why; };
    const std::optional<FileFormat> format = formatOfPath(path);
    if (!format || !isAnimationFormat(*format))
        return cannotWrite(std::string("an animation is written as ") + kAnimationExtensions);
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
        return std::nullopt;

    // One frame at a time: the encoder keeps what it has encoded, never the frames themselves.
    const std::unique_ptr<AnimationEncoder> encoder =
        encoderFor(*format, request.size.width, request.size.height, request.fps);
    for (int t = 0; t < request.frames; ++t) {
        if (cancelled())
            return std::nullopt;
        cycling.paintFrame(t, request.frames, picture, strip);
        if (std::string failure = encoder->add(picture.image()); !failure.empty())
            return cannotWrite(failure);
        tell(t + 1);
    }
    auto finished = encoder->finish();
    if (const auto* failure = std::get_if<std::string>(&finished))
        return cannotWrite(*failure);
    QByteArray bytes = std::move(std::get<QByteArray>(finished));
    if (*format == FileFormat::WebP) {
        bytes = withWebpRecipe(bytes, recipeText(recipe));
        if (bytes.isEmpty())
            return cannotWrite("cannot add the recipe to the WebP");
    }
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

} // namespace genart
