#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "command_line/command_line.h"
#include "session/recipe.h"

namespace genart {

// Reads `genart library …` (the arguments from "library" on).
Command parseLibraryCommand(const std::vector<std::string>& arguments);

// An entry's id as typed: plain digits, 1 or more.
std::optional<std::int64_t> parseEntryId(const std::string& text);

// Runs it on the library in genart's data folder. Needs a QGuiApplication (any platform) to
// export. Returns the exit status: 0 done; 1 the library is missing, damaged or cannot be
// written, or a file cannot be; 2 an id that is no entry, or a file that holds no recipe. Every
// message is one line on `errors`, and on a fault nothing is changed and nothing written.
int runLibrary(const LibraryRequest& request, std::ostream& out, std::ostream& errors);

// `genart render --entry ID …`: the entry's picture, and the strip it was shown with, again.
int renderEntry(const RenderOptions& options, std::ostream& errors);
// The picture of the library's entry `id`, or why it cannot be had.
std::variant<Recipe, RecipeError> recipeOfEntry(std::int64_t id);

// The forms of `genart library`, for the help texts.
std::string libraryForms();
std::string libraryUsageText();

} // namespace genart
