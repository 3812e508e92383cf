#pragma once

#include <QImage>

#include <optional>

#include "session/picture_session.h"
#include "session/recipe.h"

namespace genart {

struct ExportedPicture {
    QImage picture; // scale * 600 by scale * 450, captioned
    QImage strip;   // the palette strip it was coloured from, 601 by 33
};

// Draws a recipe's picture `scale` times the normal size, and its strip; both carry the
// recipe as PNG text metadata. Nothing when cancelled.
std::optional<ExportedPicture> exportPicture(const Recipe& recipe, int scale, const DrawProgress& progress = {},
                                             const std::atomic<bool>* cancel = nullptr);

// The picture a session shows, with its recipe: as it stands at scale 1, drawn again larger
// otherwise.
QImage pictureAtScale(const Recipe& recipe, const QImage& shown, int scale);

} // namespace genart
