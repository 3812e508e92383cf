#pragma once

#include <memory>

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include "slideshow/slide.h"
#include "slideshow/slide_canvas.h"
#include "slideshow/slide_source.h"

namespace genart {

// A slideshow on one canvas: each picture stays its seconds, then the next, drawn meanwhile on
// another thread, fades in over it; with `cycle` the colours of both keep flowing. Frames are
// painted only while something moves: at the display's pace during a fade, at the colour
// cycle's pace otherwise.
class SlideShow final : public QObject {
    Q_OBJECT
public:
    static constexpr int kFadeMilliseconds = 1000;

    struct Pace {
        int seconds;
        bool cycle;
    };

    SlideShow(SlideSource& source, SlideCanvas& canvas, Pace pace, QObject* parent = nullptr);
    ~SlideShow() override; // waits for a picture still being drawn

    void start();

signals:
    // A picture has come on the canvas (the first at once, the others as they begin to fade in).
    void slideShown(int count);

private:
    void drawNext();
    void drawn();
    void beginFade();
    void paintFrame();

    SlideSource& source_;
    SlideCanvas& canvas_;
    Pace pace_;
    QFutureWatcher<Slide> drawing_;
    QTimer hold_;   // the current picture's time on the canvas
    QTimer frames_; // while something moves
    QElapsedTimer fadeClock_;
    QElapsedTimer cycleClock_;
    std::unique_ptr<ShownSlide> current_;
    std::unique_ptr<ShownSlide> next_;
    bool due_ = false; // the current picture's time is up, the next not drawn yet
    bool fading_ = false;
    int shown_ = 0;
};

} // namespace genart
