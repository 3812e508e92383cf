#pragma once

#include "platform/surface.h"

#include <QColor>
#include <QFont>
#include <QImage>

namespace genart {

// A picture surface held as an off-screen image, so it gives back every colour
// it was given even while nothing shows it.
class ImageSurface final : public Surface {
public:
    // Black, or left as the allocator gives it for a picture about to be painted whole (a
    // sweep covers every pixel): then the painting is the first to touch its memory, and a large
    // image asks the kernel for huge pages, a 512th of the page faults.
    enum class Start { Black, ToBePaintedWhole };
    ImageSurface(int width, int height, Start start = Start::Black);

    const QImage& image() const { return image_; }
    // Gives the image away as painted and goes on with `next` (an image of the same size and
    // format, as a picture handed over before left it) or, without one, a black image: a
    // picture can be encoded elsewhere while the next one is drawn, and neither is copied.
    QImage handOver(QImage next = {});

    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }

    void PSet(float x, float y, Colour colour) override;
    Colour Point(float x, float y) const override;
    PixelRows pixelRows() override;
    void Line(float x1, float y1, float x2, float y2, Colour colour) override;

    void setFontSize(double points) override;
    void setForeColor(Colour colour) override;
    void setCurrentX(float x) override { currentX_ = x; }
    void setCurrentY(float y) override { currentY_ = y; }
    void Print(const std::string& text) override;

    void fill(Colour colour);

private:
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < image_.width() && y < image_.height(); }

    // The image's storage, asked for at every use: a copy of image() held elsewhere shares it
    // until the next write, which must detach rather than paint into that copy.
    QRgb* pixels() { return reinterpret_cast<QRgb*>(image_.bits()); }
    const QRgb* pixels() const { return reinterpret_cast<const QRgb*>(image_.constBits()); }

    QImage image_;
    int stride_; // pixels per scan line
    QFont font_;
    Colour foreColor_ = kBlack;
    float currentX_ = 0;
    float currentY_ = 0;
};

QRgb toQRgb(Colour colour);
Colour fromQRgb(QRgb pixel);

} // namespace genart
