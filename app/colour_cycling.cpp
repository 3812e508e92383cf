#include "app/colour_cycling.h"

#include "palette/palette_turn.h"
#include "platform/qt/surface_view.h"

namespace genart {

ColourCycling::ColourCycling(SurfaceView& picture, SurfaceView& strip, QObject* parent)
    : QObject(parent), pictureView_(picture), stripView_(strip)
{
    timer_.setInterval(kFrameMilliseconds);
    timer_.setTimerType(Qt::PreciseTimer);
    // The step follows the clock, not the count of ticks: a late tick makes the colours jump
    // a little, never the turn slow down.
    connect(&timer_, &QTimer::timeout, this,
            [this] { showFrame(static_cast<int>((firstStep_ + clock_.elapsed()) % kTurnMilliseconds)); });
}

void ColourCycling::start(const Recipe& recipe, const PaletteParameters& strip, int scale)
{
    scale_ = scale;
    stripPalette_ = strip;
    picture_ = ImageSurface(kPictureWidth * scale, kPictureHeight * scale);
    cycling_.draw(recipe, picture_, pictureStrip_, scale);
    firstStep_ = static_cast<int>(recipe.cycle.step * kTurnMilliseconds / recipe.cycle.steps);
    held_ = false;
    clock_.start();
    timer_.start();
    showFrame(firstStep_);
    emit runningChanged(true);
}

void ColourCycling::stop()
{
    if (!running())
        return;
    held_ = false;
    timer_.stop();
    pictureView_.setSharpImage(QImage());
    stripView_.setSharpImage(QImage());
    emit runningChanged(false);
}

void ColourCycling::hold()
{
    if (!timer_.isActive())
        return;
    timer_.stop();
    held_ = true;
}

void ColourCycling::resume()
{
    if (!held_)
        return;
    held_ = false;
    firstStep_ = step_;
    clock_.start();
    timer_.start();
}

void ColourCycling::showFrame(int step)
{
    step_ = step;
    cycling_.paintFrame(step, kTurnMilliseconds, picture_, pictureStrip_);
    paintTurnedPalette(stripPalette_, step, kTurnMilliseconds, strip_);
    QImage picture = picture_.image();
    picture.setDevicePixelRatio(scale_);
    pictureView_.setSharpImage(picture);
    QImage strip = scale_ == 1 ? strip_.image()
                               : strip_.image().scaled(kStripWidth * scale_, kStripHeight * scale_,
                                                       Qt::IgnoreAspectRatio, Qt::FastTransformation);
    strip.setDevicePixelRatio(scale_);
    stripView_.setSharpImage(strip);
    emit frameShown(step);
}

} // namespace genart
