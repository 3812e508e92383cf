#include "explore/new_pictures.h"

#include "generator/image_generator.h"
#include "generator/sweep_outcome.h"
#include "palette/palette_strip.h"
#include "platform/no_surface.h"
#include "session/picture_session.h"

namespace genart::explore {

std::vector<Recipe> newPictures(const CarriedValues& carried, RandomSource& random, const Clock& clock, int count)
{
    GenerationState state;
    setFixedState(state);
    state.carried = carried;
    // The press's own steps, with nothing drawn: the strip, then the picture's values; what the
    // picture's sweep leaves is found without sweeping it all.
    NoSurface nowhere;
    ImageGenerator generator(state, random, clock, nowhere, nowhere);
    std::vector<Recipe> pictures;
    for (int n = 0; n < count; ++n) {
        const PaletteParameters palette = drawPaletteParameters(random);
        paintPalette(palette, state, nowhere);
        generator.DrawParameters();
        pictures.push_back(recipeOf(state, palette));
        state.carried = carriedAfterSweep(state);
    }
    return pictures;
}

} // namespace genart::explore
