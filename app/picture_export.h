#pragma once

#include <QImage>

#include "app/recipe.h"

namespace genart {

struct ExportedPicture {
    QImage picture; // scale * 600 by scale * 450, captioned
    QImage strip;   // the palette strip it was coloured from, 601 by 33
};

// Draws a recipe's picture `scale` times the normal size, and its strip; both carry the
// recipe as PNG text metadata.
ExportedPicture exportPicture(const Recipe& recipe, int scale);

} // namespace genart
