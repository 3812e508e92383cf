#include "slideshow/slide_show.h"

#include <algorithm>

#include <QtConcurrent/QtConcurrentRun>

#include "app/colour_cycling.h"

namespace genart {

SlideShow::SlideShow(SlideSource& source, SlideCanvas& canvas, Pace pace, QObject* parent)
    : QObject(parent), source_(source), canvas_(canvas), pace_(pace)
{
    hold_.setSingleShot(true);
    hold_.setInterval(pace.seconds * 1000);
    frames_.setTimerType(Qt::PreciseTimer);
    connect(&drawing_, &QFutureWatcher<Slide>::finished, this, &SlideShow::drawn);
    connect(&hold_, &QTimer::timeout, this, [this] {
        due_ = true;
        if (next_)
            beginFade();
    });
    connect(&frames_, &QTimer::timeout, this, &SlideShow::paintFrame);
}

SlideShow::~SlideShow()
{
    drawing_.waitForFinished();
}

void SlideShow::start()
{
    cycleClock_.start();
    drawNext();
}

void SlideShow::drawNext()
{
    const QSize size = canvas_.pixelSize();
    const bool cycle = pace_.cycle;
    SlideSource& source = source_;
    drawing_.setFuture(QtConcurrent::run([&source, size, cycle] { return drawSlide(source.next(), size, cycle); }));
}

void SlideShow::drawn()
{
    auto slide = std::make_unique<ShownSlide>(drawing_.result());
    if (current_) {
        next_ = std::move(slide);
        if (due_)
            beginFade();
        return;
    }
    current_ = std::move(slide);
    source_.shown(current_->recipe());
    emit slideShown(++shown_);
    paintFrame();
    if (pace_.cycle)
        frames_.start(ColourCycling::kFrameMilliseconds);
    hold_.start();
    drawNext();
}

void SlideShow::beginFade()
{
    due_ = false;
    fading_ = true;
    fadeClock_.start();
    frames_.start(canvas_.refreshMilliseconds());
    source_.shown(next_->recipe());
    emit slideShown(++shown_);
}

void SlideShow::paintFrame()
{
    const long long step = cycleClock_.elapsed() % kTurnMilliseconds;
    if (!fading_) {
        canvas_.present(current_->frame(step));
        return;
    }
    const double share = std::min(1.0, static_cast<double>(fadeClock_.elapsed()) / kFadeMilliseconds);
    if (share < 1) {
        canvas_.present(crossFade(current_->frame(step), next_->frame(step), share));
        return;
    }
    current_ = std::move(next_);
    fading_ = false;
    canvas_.present(current_->frame(step));
    if (pace_.cycle)
        frames_.start(ColourCycling::kFrameMilliseconds);
    else
        frames_.stop();
    hold_.start();
    drawNext();
}

} // namespace genart
