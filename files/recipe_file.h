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
// recipe; a JPEG through libjpeg only up to its image data, its comments capped likewise; a
// WebP through libwebp's demuxer, which reads its chunk headers and its XMP alone; a GIF through
// giflib, block by block up to its first image, within the same kind of caps.
// Nothing reaches stderr; an error is one printable line naming the path.
std::variant<Recipe, RecipeError> readRecipeFile(const std::string& path);

} // namespace genart
