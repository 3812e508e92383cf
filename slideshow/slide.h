#pragma once

#include <memory>

#include <QImage>
#include <QSize>

#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"
#include "session/recipe.h"

namespace genart {

// One picture of the slideshow, drawn to fill a screen without its caption; with its palette
// entries kept when its colours are to cycle.
struct Slide {
    Recipe recipe;
    QImage still;
    std::shared_ptr<const CyclingPicture> cycling; // none when the colours stand still
};

// Draws the recipe's picture covering `size`. Takes about 0.1 s at 1920 × 1080 on two cores:
// the slideshow calls it off the GUI thread, ahead of the picture's turn.
Slide drawSlide(const Recipe& recipe, QSize size, bool cycle);

// A slide as it is shown: the still picture, or the frame of its colour cycle at a step.
class ShownSlide {
public:
    explicit ShownSlide(Slide slide);
    // The picture at `step` of a turn of kTurnMilliseconds (ColourCycling's pace); the still
    // picture when it does not cycle.
    const QImage& frame(long long step);
    const Recipe& recipe() const { return slide_.recipe; }

private:
    Slide slide_;
    std::unique_ptr<ImageSurface> turned_; // the cycling frame
    ImageSurface strip_{kStripWidth, kStripHeight};
};

} // namespace genart

namespace genart {

// The frame `share` of the way (0 .. 1) through a cross-fade from one picture to the other, both
// of its size.
QImage crossFade(const QImage& from, const QImage& to, double share);

} // namespace genart
