#include "slideshow/slide.h"

#include "app/colour_cycling.h"
#include "picture_files/picture_at_size.h"

#include <QPainter>

namespace genart {

Slide drawSlide(const Recipe& recipe, QSize size, bool cycle)
{
    const PictureSize covering = PictureSize::covering(size.width(), size.height());
    if (!cycle)
        return {recipe, drawPicture(recipe, covering, false)->picture, nullptr};
    auto cycling = std::make_shared<CyclingPicture>();
    ImageSurface picture(size.width(), size.height());
    ImageSurface strip(kStripWidth, kStripHeight);
    cycling->draw(recipe, picture, strip, covering.scale, {}, nullptr, false);
    return {recipe, picture.image(), std::move(cycling)};
}

ShownSlide::ShownSlide(Slide slide) : slide_(std::move(slide))
{
    if (slide_.cycling)
        turned_ = std::make_unique<ImageSurface>(slide_.still.width(), slide_.still.height());
}

const QImage& ShownSlide::frame(long long step)
{
    if (!turned_)
        return slide_.still;
    slide_.cycling->paintFrame(step, kTurnMilliseconds, *turned_, strip_);
    return turned_->image();
}

} // namespace genart

namespace genart {

QImage crossFade(const QImage& from, const QImage& to, double share)
{
    QImage frame(from.size(), QImage::Format_RGB32);
    QPainter painter(&frame);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, from);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(share);
    painter.drawImage(0, 0, to);
    return frame;
}

} // namespace genart
