#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QTimer>

#include "palette/palette_strip.h"
#include "palette/palette_turn.h"
#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"
#include "session/recipe.h"

namespace genart {

class SurfaceView;

// Colour cycling of the picture and the strip the window shows: a timer paints a frame about
// 30 times a second, the three phases going once round in kTurnMilliseconds, each frame one strip
// and one lookup per pixel. Frames are shown in place of the window's surfaces, which keep the
// still picture and strip untouched, so stopping shows them again exactly as they were.
class ColourCycling final : public QObject {
    Q_OBJECT
public:
    static constexpr int kFrameMilliseconds = 33;

    ColourCycling(SurfaceView& picture, SurfaceView& strip, QObject* parent = nullptr);

    // Cycles the colours of the picture drawn from `recipe` and of the strip painted from
    // `strip` (after "change palette" not the picture's own), both `scale` times as finely as
    // the views show them, for screens with more device pixels than pixels. A recipe that keeps a
    // turn starts from it.
    void start(const Recipe& recipe, const PaletteParameters& strip, int scale);
    // The views show their surfaces again; a caller showing something else there (a sharper
    // picture) puts it back.
    void stop();
    bool running() const { return timer_.isActive() || held_; }
    // The frame shown stays on the screen (while it is saved), then the colours flow on from it.
    void hold();
    void resume();

    // The frame shown last: its step of the turn (of kTurnMilliseconds), the turn itself as a
    // recipe keeps it, and its images.
    int shownStep() const { return step_; }
    PaletteTurn shownTurn() const { return step_ == 0 ? PaletteTurn{} : PaletteTurn{step_, kTurnMilliseconds}; }
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
    int firstStep_ = 0; // where the clock's count starts: a recipe's turn, or the frame held
    bool held_ = false;
    ImageSurface picture_{1, 1};
    ImageSurface pictureStrip_{kStripWidth, kStripHeight}; // the picture's own palette, turned
    ImageSurface strip_{kStripWidth, kStripHeight};        // the strip shown, turned
};

} // namespace genart
