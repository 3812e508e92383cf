#pragma once

#include <QImage>

#include <optional>

#include "palette/palette_strip.h"
#include "platform/progress.h"
#include "session/picture_size.h"
#include "session/recipe.h"

namespace genart {

struct DrawnPicture {
    QImage picture; // size.width by size.height
    QImage strip;   // the palette strip it was coloured from, 601 by 33
};

// Draws a recipe's picture once, at `size`, with its caption unless told otherwise, and its
// strip, telling `progress` how far the sweep got. Nothing when cancelled.
std::optional<DrawnPicture> drawPicture(const Recipe& recipe, const PictureSize& size, bool caption = true,
                                        const Progress& progress = {}, const CancelToken* cancel = nullptr);

// The strip painted from `palette`, as the palette buttons paint it.
QImage paintStrip(const PaletteParameters& palette);

} // namespace genart
