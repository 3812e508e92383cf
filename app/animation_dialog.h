#pragma once

#include <optional>

#include <QString>

#include "picture_files/picture_job.h"
#include "session/picture_size.h"

class QWidget;

namespace genart {

// What "Save animation…" asks: where, how many frames, how many a second, how large, with the
// caption or not, and whether to fit it in a budget for sharing (the loop's budget).
struct AnimationChoice {
    QString path;
    Loop loop;
    PictureSize size;
    bool caption = true;
};

// The save dialog with the animation's frames, rate, size, caption and "fit for sharing" beside
// the file name, showing the loop's length and about how large its file will be (WebP, GIF or
// MP4, as the file type chosen); the choices are remembered for next time. Nothing when
// cancelled.
std::optional<AnimationChoice> askForAnimation(QWidget* parent, const QString& name);

} // namespace genart
