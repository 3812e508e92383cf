#pragma once

#include <string>
#include <variant>

#include "session/recipe.h"

namespace genart {

// Reads a recipe from a picture that genart wrote (a PNG's text, a JPEG's comment, a WebP's
// XMP metadata, a GIF loop's comment) or from a plain text file.
// The file is untrusted and bounded before it is read: anything but a regular file is refused
// without waiting for it (a FIFO, a device); a text file may hold 64 KiB at most; a PNG is read
// through libpng only up to its image data, with every chunk, every inflated text and the
// number of chunks capped a little above what a recipe needs, and must carry exactly one
// recipe; a JPEG's markers are walked up to its recipe comment (jpeg_recipe.h), a WebP's chunks
// up to its XMP (webp_recipe.h), reading headers and the recipe alone, at offsets, never mapped;
// a GIF through giflib, block by block up to its first image, its comments capped likewise.
// A file that changes while it is read (cut short, rewritten) gives an error, never a signal.
// Nothing reaches stderr; an error is one printable line naming the path.
std::variant<Recipe, RecipeError> readRecipeFile(const std::string& path);

} // namespace genart
