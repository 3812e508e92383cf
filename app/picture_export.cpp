#include "app/picture_export.h"

#include "app/picture_session.h"
#include "app/recipe_file.h"
#include "platform/image_surface.h"

namespace genart {

ExportedPicture exportPicture(const Recipe& recipe, int scale)
{
    ImageSurface picture(600 * scale, 450 * scale);
    ImageSurface strip(601, 33);
    drawRecipe(recipe, picture, strip, scale);
    return {withRecipe(picture.image(), recipe), withRecipe(strip.image(), recipe)};
}

} // namespace genart
