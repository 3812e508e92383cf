#pragma once

#include <cstdint>

#include "files/recipe_search.h"

namespace genart {

// How far into a JPEG its recipe is looked for: genart writes it as a comment right after the
// JFIF header, but a photo tool may put a colour profile or other metadata in front of it.
// Only the markers' headers are read on the way; a segment's contents are skipped unread.
inline constexpr std::uint64_t kLongestJpegMetadata = 16 * 1024 * 1024;
inline constexpr int kMostJpegMarkers = 1024;

// The recipe a JPEG carries: the first comment that starts with the recipe key and ": ", found
// by walking its markers from the start of the image up to that comment. Without one before
// the image data (or within the limits above, which the problem then names): why not.
FoundRecipe jpegRecipe(const ReadAt& read);

} // namespace genart
