#pragma once

#include <string>
#include <variant>

#include "generator/generation_state.h"
#include "palette/palette_strip.h"

namespace genart {

// Everything a picture needs to be drawn again without replaying the session: its name, the
// palette it was coloured from, the nine values it drew, and the values the skip rule may
// carry into its first positions.
struct Recipe {
    std::string imeslike;
    PaletteParameters palette;
    PictureParameters picture;
    CarriedValues carried;

    bool operator==(const Recipe&) const = default;
};

inline constexpr int kRecipeVersion = 1;
inline constexpr const char* kRecipeKey = "genart-recipe"; // also the PNG text key

// Takes the picture's values from the state as the sweep is about to start.
Recipe recipeOf(const GenerationState& state, const PaletteParameters& palette);

// Puts the recipe's values into a state whose geometry and caption texts are already set, and
// starts its drift as the parameter draw does.
void applyRecipe(const Recipe& recipe, GenerationState& state);

// Readable key=value lines, every number exact in hexadecimal floating point; the first
// line names the format and its version.
std::string recipeText(const Recipe& recipe);

struct RecipeError {
    std::string message; // one line, naming the offending key
};

// Reads a recipe as recipeText writes it. The text is untrusted: every key must be present
// once, and every value a finite number inside what the draws can produce.
std::variant<Recipe, RecipeError> parseRecipe(const std::string& text);

} // namespace genart
