#pragma once

#include <string>
#include <variant>

#include <QImage>

#include "session/recipe.h"

namespace genart {

// Reads a recipe from a PNG that genart wrote (its text metadata) or from a plain text file.
std::variant<Recipe, RecipeError> readRecipeFile(const std::string& path);

// The picture with its recipe attached as PNG text metadata.
QImage withRecipe(QImage image, const Recipe& recipe);

} // namespace genart
