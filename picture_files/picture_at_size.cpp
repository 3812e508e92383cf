#include "picture_files/picture_at_size.h"

#include "platform/qt/image_surface.h"
#include "session/picture_session.h"

namespace genart {

std::optional<DrawnPicture> drawPicture(const Recipe& recipe, const PictureSize& size, bool caption,
                                        const Progress& progress, const CancelToken* cancel)
{
    ImageSurface picture(size.width, size.height,
                         size.paintedWhole() ? ImageSurface::Start::ToBePaintedWhole : ImageSurface::Start::Black);
    ImageSurface strip(kStripWidth, kStripHeight);
    if (!drawRecipe(recipe, picture, strip, size.scale, progress, cancel, caption))
        return std::nullopt;
    return DrawnPicture{picture.image(), strip.image()};
}

QImage paintStrip(const PaletteParameters& palette)
{
    GenerationState scratch; // the palette leaves its last column's components here
    ImageSurface strip(kStripWidth, kStripHeight);
    paintPalette(palette, scratch, strip);
    return strip.image();
}

} // namespace genart
