#include "platform/qt/image_surface.h"
#include "platform/line_points.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include <sys/mman.h>

namespace genart {
namespace {

// A pixel coordinate given as a single-precision number; whole numbers are exact,
// anything else goes to the nearest pixel. Values far outside any surface (or NaN)
// map to a coordinate that is outside as well.
int pixelOf(float value)
{
    const float rounded = std::nearbyint(value);
    if (!(rounded > -1.0e6f && rounded < 1.0e6f))
        return -1000000;
    return static_cast<int>(rounded);
}

constexpr int kDotsPerMeter = 3780; // 96 dots per inch, so 9 points are 12 pixels everywhere

// Asks for huge pages over the whole 2 MiB pages inside [data, data + size); only worth it
// for images of many of them, which the allocator maps fresh and untouched.
void adviseHugePages(void* data, std::size_t size)
{
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = 2u << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHugePage - 1);
    if (end >= begin + 4 * kHugePage)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

} // namespace

QRgb toQRgb(Colour colour)
{
    return toPixel(colour); // QRgb is the same 0xffRRGGBB
}

Colour fromQRgb(QRgb pixel)
{
    return rgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

ImageSurface::ImageSurface(int width, int height, Start start)
    : image_(width, height, QImage::Format_RGB32)
{
    image_.setDotsPerMeterX(kDotsPerMeter);
    image_.setDotsPerMeterY(kDotsPerMeter);
    if (start == Start::ToBePaintedWhole)
        adviseHugePages(image_.bits(), static_cast<std::size_t>(image_.sizeInBytes()));
    else
        image_.fill(Qt::black);
    stride_ = static_cast<int>(image_.bytesPerLine() / sizeof(QRgb));
    if (QGuiApplication::instance())
        font_ = QGuiApplication::font();
}

QImage ImageSurface::handOver(QImage next)
{
    if (next.size() != image_.size() || next.format() != image_.format()) {
        next = QImage(image_.size(), image_.format());
        next.setDotsPerMeterX(kDotsPerMeter);
        next.setDotsPerMeterY(kDotsPerMeter);
        next.fill(Qt::black);
    }
    return std::exchange(image_, std::move(next));
}

void ImageSurface::PSet(float x, float y, Colour colour)
{
    const int px = pixelOf(x);
    const int py = pixelOf(y);
    if (inside(px, py))
        pixels()[py * stride_ + px] = toQRgb(colour);
}

Colour ImageSurface::Point(float x, float y) const
{
    const int px = pixelOf(x);
    const int py = pixelOf(y);
    if (!inside(px, py))
        return kOutside;
    return fromQRgb(pixels()[py * stride_ + px]);
}

PixelRows ImageSurface::pixelRows()
{
    return {reinterpret_cast<std::uint32_t*>(image_.bits()), stride_};
}

void ImageSurface::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    const QRgb pixel = toQRgb(colour);
    QRgb* const pixels = this->pixels();
    forEachLinePoint(pixelOf(x1), pixelOf(y1), pixelOf(x2), pixelOf(y2), [&](int x, int y) {
        if (inside(x, y))
            pixels[y * stride_ + x] = pixel;
    });
}

void ImageSurface::setFontSize(double points)
{
    font_.setPointSizeF(points);
}

void ImageSurface::setForeColor(Colour colour)
{
    foreColor_ = colour;
}

void ImageSurface::Print(const std::string& text)
{
    QPainter painter(&image_);
    painter.setFont(font_);
    painter.setPen(QColor(toQRgb(foreColor_)));
    const QFontMetrics metrics(font_, &image_);
    painter.drawText(QPointF(currentX_, currentY_ + static_cast<float>(metrics.ascent())), QString::fromStdString(text));
}

void ImageSurface::fill(Colour colour)
{
    image_.fill(toQRgb(colour));
}

} // namespace genart
