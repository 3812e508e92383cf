#include "picture_files/loop_job.h"

#include "animation_files/animation_encoder.h"
#include "file_formats/file_format.h"
#include "files/webp_recipe.h"
#include "picture_files/job_source.h"
#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"

namespace genart {

std::optional<EncodedFile> encodeLoop(const PictureJob& job, const Progress& progress, const CancelToken* cancel)
{
    const Recipe recipe = resolveSource(job.source).entry.picture;
    const Loop loop = job.loop.value_or(Loop{});
    const PictureSize& size = job.size;
    const FileFormat format = formatOfPath(job.path).value_or(FileFormat::WebP);
    if (progress)
        progress(Stage::Drawing, 0);
    ImageSurface picture(size.width, size.height);
    ImageSurface strip(kStripWidth, kStripHeight);
    CyclingPicture cycling;
    if (!cycling.draw(recipe, picture, strip, size.scale, progress, cancel, job.caption))
        return std::nullopt;

    EncodedFile file{job.path, {}, {}};
    const std::unique_ptr<AnimationEncoder> encoder = newAnimationEncoder(format, size.width, size.height, loop.fps);
    for (int t = 0; t < loop.frames; ++t) {
        if (cancelled(cancel))
            return std::nullopt;
        cycling.paintFrame(t, loop.frames, picture, strip);
        if (file.failure = encoder->add(picture.image()); !file.failure.empty())
            return file;
        if (progress)
            progress(Stage::Encoding, static_cast<double>(t + 1) / loop.frames);
    }
    auto finished = encoder->finish();
    if (auto* failure = std::get_if<std::string>(&finished)) {
        file.failure = std::move(*failure);
        return file;
    }
    file.bytes = std::move(std::get<QByteArray>(finished));
    if (format == FileFormat::WebP) {
        file.bytes = withWebpRecipe(file.bytes, recipeText(recipe));
        if (file.bytes.isEmpty())
            file.failure = "cannot add the recipe to the WebP";
    }
    if (cancelled(cancel))
        return std::nullopt;
    return file;
}

} // namespace genart
