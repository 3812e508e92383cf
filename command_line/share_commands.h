#pragma once

#include <iosfwd>
#include <string>
#include <variant>
#include <vector>

#include "command_line/command_line.h"
#include "session/recipe.h"

namespace genart {

// `genart code (FILE | CODE)` and `genart thumbnail --size N INPUT OUTPUT`, read from the
// arguments after the program's name (the first is the command's).
Command parseCodeCommand(const std::vector<std::string>& arguments);
Command parseThumbnailCommand(const std::vector<std::string>& arguments);

// Prints the share code of the picture FILE (any genart picture or recipe text) or CODE holds.
// 0, or 2 with one line when it holds none.
int runCode(const CodeRequest& request, std::ostream& out, std::ostream& errors);

// Writes a PNG of the picture INPUT holds, without its caption, SIZE pixels on its longer side,
// replacing OUTPUT: what file managers show for .genart files and genart pictures. 0; 2 when
// INPUT holds no recipe; 1 when OUTPUT cannot be written. Needs a QGuiApplication.
int runThumbnail(const ThumbnailRequest& request, std::ostream& errors);

// The recipe `render` draws again: the file --recipe names, or the --code given.
std::variant<Recipe, RecipeError> givenRecipe(const RenderOptions& options);

} // namespace genart
