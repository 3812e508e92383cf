#include "explore/recolourings.h"

#include "palette/palette_strip.h"

namespace genart::explore {

std::vector<Recipe> recolourings(const Recipe& picture, RandomSource& random, int count, const std::string& name)
{
    std::vector<Recipe> coloured;
    for (int n = 0; n < count; ++n) {
        Recipe recipe = picture;
        recipe.imeslike = name;
        recipe.palette = drawPaletteParameters(random);
        coloured.push_back(recipe);
    }
    return coloured;
}

} // namespace genart::explore
