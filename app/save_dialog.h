#pragma once

#include <optional>

#include <QSize>
#include <QString>

#include "session/picture_size.h"

class QSettings;
class QWidget;

namespace genart {

// What the save dialog was told: where, how large, and whether the caption goes on.
struct SaveChoice {
    QString path;
    PictureSize size;
    bool caption = true;
};

// Asks where to save the picture named `name` and how: the file's type (PNG, JPEG, WebP), its
// size (1× … 16×, this screen's `screenPixels`, 1920 × 1080, 2560 × 1440, 3840 × 2160 or any
// width and height), and the caption. Opens in the folder and with the size and caption chosen
// last time, which it remembers when accepted. Nothing when cancelled.
std::optional<SaveChoice> askWhereToSave(QWidget* parent, const QString& name, QSize screenPixels);

// The folder every save dialog opens in: the one a file was last saved to, else the Pictures
// folder, else home; and remembering it.
QString startingSaveFolder(const QSettings& settings);
void rememberSaveFolder(QSettings& settings, const QString& savedFile);

} // namespace genart
