#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QTimer>

#include "palette/palette_strip.h"
#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"
#include "session/recipe.h"

namespace genart {

class SurfaceView;

// Colour cycling of the picture and the strip the window shows: a timer paints a frame about
// 30 times a second, the three phases going once round in about 10 seconds, each frame one strip
// and one lookup per pixel. Frames are shown in place of the window's surfaces, which keep the
// still picture and strip untouched, so stopping shows them again exactly as they were.
class ColourCycling final : public QObject {
    Q_OBJECT
public:
    static constexpr int kFrameMilliseconds = 33;
    static constexpr int kTurnMilliseconds = 10000;

    ColourCycling(SurfaceView& picture, SurfaceView& strip, QObject* parent = nullptr);

    // Cycles the colours of the picture drawn from `recipe` and of the strip painted from
    // `strip` (after "change palette" not the picture's own), both `scale` times as finely as
    // the views show them, for screens with more device pixels than pixels.
    void start(const Recipe& recipe, const PaletteParameters& strip, int scale);
    // The views show their surfaces again; a caller showing something else there (a sharper
    // picture) puts it back.
    void stop();
    bool running() const { return timer_.isActive(); }

    // The frame shown last: its step of the turn and its images.
    int shownStep() const { return step_; }
    const QImage& shownPicture() const { return picture_.image(); }
    const QImage& shownStrip() const { return strip_.image(); }

signals:
    void frameShown(int step);
    void runningChanged(bool running);

private:
    void showFrame(int step);

    SurfaceView& pictureView_;
    SurfaceView& stripView_;
    QTimer timer_;
    QElapsedTimer clock_;
    CyclingPicture cycling_;
    PaletteParameters stripPalette_;
    int scale_ = 1;
    int step_ = 0;
    ImageSurface picture_{1, 1};
    ImageSurface pictureStrip_{kStripWidth, kStripHeight}; // the picture's own palette, turned
    ImageSurface strip_{kStripWidth, kStripHeight};        // the strip shown, turned
};

} // namespace genart
