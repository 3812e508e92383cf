#pragma once

#include <string>
#include <variant>

#include "generator/generation_state.h"
#include "palette/palette_strip.h"
#include "palette/palette_turn.h"

namespace genart {

// Everything a picture needs to be drawn again without replaying the session: its name, the
// palette it was coloured from, the nine values it drew, and the values the skip rule may
// carry into its first positions. A picture saved while its colours cycled also keeps how far
// they had turned: it is drawn with its still palette, then coloured from the turned one.
struct Recipe {
    std::string imeslike;
    PaletteParameters palette;
    PictureParameters picture;
    CarriedValues carried;
    PaletteTurn cycle; // written only when turned, so a still picture's recipe reads as it always did

    bool operator==(const Recipe&) const = default;
};

inline constexpr int kRecipeVersion = 1;
inline constexpr const char* kRecipeKey = "genart-recipe"; // also the PNG text key

// Takes the picture's values from the state as the sweep is about to start.
Recipe recipeOf(const GenerationState& state, const PaletteParameters& palette);

// Puts the recipe's values into a state whose geometry and caption texts are already set, and
// starts its drift as the parameter draw does.
void applyRecipe(const Recipe& recipe, GenerationState& state);

// Readable key=value lines, every number exact in hexadecimal floating point (the turn as
// `cycle.phase=STEP/STEPS`); the first line names the format and its version.
std::string recipeText(const Recipe& recipe);

struct RecipeError {
    std::string message; // one line, naming the offending key
};

// Reads a recipe as recipeText writes it. The text is untrusted: every key must be present
// once, and every value a finite number inside what the draws can produce.
std::variant<Recipe, RecipeError> parseRecipe(const std::string& text);

} // namespace genart
