#pragma once

#include <string>
#include <variant>

#include "session/recipe.h"

class QImage;
class QMimeData;

namespace genart {

// The type a recipe travels under on the clipboard and in drags, and that desktops give
// .genart files.
inline constexpr const char* kRecipeMimeType = "application/x-genart-recipe";
// What "Save recipe…" writes: the recipe's text in a file of this extension.
inline constexpr const char* kRecipeExtension = "genart";

// The recipe of what someone shares, as given on the command line: a share code, or the path of
// a genart picture in any of its formats, a recipe text or a .genart file. Every error is one
// printable line.
std::variant<Recipe, RecipeError> recipeFromArgument(const std::string& argument);

// The recipe of what was dropped on the window or pasted into it: genart's own recipe type, one
// file (its URL), an image carrying a recipe, or a text holding a share code, a recipe or a file
// URL. Nothing is trusted: anything else, or more than one file, is refused in one line.
std::variant<Recipe, RecipeError> recipeFromMimeData(const QMimeData& data);

// Whether a drag brings anything recipeFromMimeData looks at.
bool mayHoldRecipe(const QMimeData& data);

// What "Copy picture" puts on the clipboard: the image (carrying its recipe as a text, for
// programs that take images alone) and the recipe under kRecipeMimeType.
QMimeData* pictureMimeData(const QImage& picture, const Recipe& recipe);

} // namespace genart
