#pragma once

#include <optional>

#include <QString>

#include "picture_files/picture_job.h"
#include "session/picture_size.h"

class QWidget;

namespace genart {

// What "Save animation…" asks: where, how many frames, how many a second, how large.
struct AnimationChoice {
    QString path;
    Loop loop;
    PictureSize size;
};

// The save dialog with the animation's frames, rate and size beside the file name; the choices
// are remembered for next time. Nothing when cancelled.
std::optional<AnimationChoice> askForAnimation(QWidget* parent, const QString& name);

} // namespace genart
