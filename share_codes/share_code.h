#pragma once

#include <cstddef>
#include <string>
#include <variant>

#include "session/recipe.h"

namespace genart {

// A recipe as one short line that survives chat services, e-mail and anything else that
// strips a file's metadata: "genart:" and then the recipe's values packed bit for bit (whole
// numbers in the bits their range needs, singles and doubles exact), with a checksum, as
// URL-safe Base64.
inline constexpr const char* kShareCodePrefix = "genart:";
inline constexpr std::size_t kLongestShareCode = 200;

// The code of a recipe that parseRecipe would accept (any recipe the draws produce).
std::string shareCode(const Recipe& recipe);

// Reads a code, with white space around it allowed. The text is untrusted: a foreign text, a
// code damaged or cut short, or one whose values no draw produces gives one line saying so.
std::variant<Recipe, RecipeError> parseShareCode(const std::string& text);

// Whether a text is meant as a code (it starts with the prefix, after any white space).
bool looksLikeShareCode(const std::string& text);

} // namespace genart
