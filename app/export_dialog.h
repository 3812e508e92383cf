#pragma once

#include <optional>

#include <QString>

#include "session/picture_size.h"

class QWidget;

namespace genart {

// How the gallery writes the entries chosen: into which folder, how large, in which format,
// with or without the caption.
struct ExportChoice {
    QString folder;
    PictureSize size;
    QString extension; // png, jpg or webp
    bool caption = true;
};

// Asks for it, for `count` pictures; nothing when cancelled.
std::optional<ExportChoice> askHowToExport(QWidget* parent, int count);

} // namespace genart
