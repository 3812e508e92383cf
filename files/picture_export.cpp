#include "files/picture_export.h"

#include "platform/qt/image_surface.h"

namespace genart {

std::optional<ExportedPicture> exportPicture(const Recipe& recipe, const PictureSize& size, bool caption,
                                             const DrawProgress& progress, const std::atomic<bool>* cancel)
{
    // The sweep paints every pixel of a picture no larger than its scale covers.
    const bool covered = size.width <= coveringSize(kPictureWidth, size.scale) + 1
        && size.height <= coveringSize(kPictureHeight, size.scale) + 1;
    ImageSurface picture(size.width, size.height,
                         covered ? ImageSurface::Start::ToBePaintedWhole : ImageSurface::Start::Black);
    ImageSurface strip(kStripWidth, kStripHeight);
    if (!drawRecipe(recipe, picture, strip, size.scale, progress, cancel, caption))
        return std::nullopt;
    return ExportedPicture{picture.image(), strip.image()};
}

QImage pictureAtSize(const Recipe& recipe, const QImage& shown, const PictureSize& size, bool caption,
                     const DrawProgress& progress)
{
    return size.isNormal() && caption ? shown : exportPicture(recipe, size, caption, progress)->picture;
}

} // namespace genart
