#pragma once

#include <string>
#include <variant>

#include "generator/generation_state.h"
#include "palette/palette_strip.h"

namespace genart {

// Everything a picture needs to be drawn again without replaying the session: the palette
// it was coloured from, the nine values it drew, the values the skip rule may carry into its
// first positions, and its name.
struct Recipe {
    std::string imeslike;
    PaletteParameters palette;
    float tip1 = 0, tip2 = 0, tip3 = 0, pozic0 = 0;
    double fi0 = 0;
    float r0 = 0;
    float fak1 = 0, fak2 = 0, fak3 = 0;
    double ba = 0, re = 0, gr = 0, bl = 0, barva = 0;

    bool operator==(const Recipe&) const = default;
};

inline constexpr int kRecipeVersion = 1;
inline constexpr const char* kRecipeKey = "genart-recipe"; // also the PNG text key

// Takes the picture's values from the state as the sweep is about to start.
Recipe recipeOf(const GenerationState& state, const PaletteParameters& palette);

// Puts the recipe's values into a state whose geometry and caption texts are already set.
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
