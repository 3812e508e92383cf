#include "files/picture_export.h"

#include "session/picture_session.h"
#include "files/recipe_file.h"
#include "platform/qt/image_surface.h"

namespace genart {

std::optional<ExportedPicture> exportPicture(const Recipe& recipe, int scale, const DrawProgress& progress,
                                             const std::atomic<bool>* cancel)
{
    ImageSurface picture(kPictureWidth * scale, kPictureHeight * scale);
    ImageSurface strip(kStripWidth, kStripHeight);
    if (!drawRecipe(recipe, picture, strip, scale, progress, cancel))
        return std::nullopt;
    return ExportedPicture{withRecipe(picture.image(), recipe), withRecipe(strip.image(), recipe)};
}

QImage pictureAtScale(const Recipe& recipe, const QImage& shown, int scale)
{
    return scale == 1 ? withRecipe(shown, recipe) : exportPicture(recipe, scale)->picture;
}

} // namespace genart
