#include "animation_files/animation_file.h"

#include <memory>

#include "animation_files/mp4_module.h"
#include "animation_files/webp_animation.h"
#include "files/file_format.h"
#include "files/output_files.h"
#include "files/printable.h"
#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"

namespace genart {
namespace {

std::unique_ptr<AnimationEncoder> encoderFor(FileFormat format, const AnimationRequest& request, int fd,
                                             const Recipe& recipe)
{
    const int width = request.size.width;
    const int height = request.size.height;
    if (format == FileFormat::WebP)
        return std::make_unique<WebpAnimation>(width, height, request.fps, request.frames, fd, recipeText(recipe));
    return newMp4Animation(width, height, request.fps, fd);
}

} // namespace

std::optional<std::string> writeAnimation(const Recipe& recipe, const AnimationRequest& request,
                                          const std::string& path, bool replace, const AnimationProgress& progress,
                                          const std::atomic<bool>* cancel)
{
    const std::optional<FileFormat> format = formatOfPath(path);
    if (!format || !isAnimationFormat(*format))
        return printable(path) + ": cannot write: an animation is written as " + kAnimationExtensions;
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

    // One frame at a time, each written to the staged file as it is encoded: neither the frames
    // nor the file are ever held whole.
    OutputFiles files(replace, newRunToken());
    const std::string failure = files.stage(path, [&](int fd) -> std::string {
        const std::unique_ptr<AnimationEncoder> encoder = encoderFor(*format, request, fd, recipe);
        for (int t = 0; t < request.frames; ++t) {
            if (cancelled())
                return "cancelled"; // not told: the staged file goes
            cycling.paintFrame(t, request.frames, picture, strip);
            if (std::string problem = encoder->add(picture.image()); !problem.empty())
                return problem;
            tell(t + 1);
        }
        return encoder->finish();
    });
    if (cancelled())
        return std::nullopt; // whatever was staged or placed goes with `files`
    if (!failure.empty())
        return failure;
    if (std::string placing = files.place(); !placing.empty())
        return placing;
    if (cancelled())
        return std::nullopt;
    return files.finish();
}

} // namespace genart
