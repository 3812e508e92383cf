#pragma once

#include "generator/generation_state.h"
#include "platform/surface.h"

namespace genart {

// Prints the picture's name, the web address and the credit line in white 9-point type
// across the picture's bottom rows. Each text gets its own position, so a long one simply
// runs under the next. A picture `scale` times the normal size gets the caption at `scale`
// times the size and positions, measured from its left and bottom edges.
void PrintCaption(const CaptionTexts& texts, Surface& picture, double scale = 1);

} // namespace genart
