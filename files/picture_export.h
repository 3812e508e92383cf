#pragma once

#include <QImage>

#include <optional>

#include "session/picture_session.h"
#include "session/picture_size.h"
#include "session/recipe.h"

namespace genart {

struct ExportedPicture {
    QImage picture; // size.width by size.height
    QImage strip;   // the palette strip it was coloured from, 601 by 33
};

// Draws a recipe's picture at `size`, with its caption unless told otherwise, and its strip.
// Nothing when cancelled.
std::optional<ExportedPicture> exportPicture(const Recipe& recipe, const PictureSize& size, bool caption = true,
                                             const DrawProgress& progress = {},
                                             const std::atomic<bool>* cancel = nullptr);

// The picture a session shows: as it stands at the normal size with its caption, drawn again
// otherwise, telling `progress` how far the drawing got.
QImage pictureAtSize(const Recipe& recipe, const QImage& shown, const PictureSize& size, bool caption = true,
                     const DrawProgress& progress = {});

} // namespace genart
