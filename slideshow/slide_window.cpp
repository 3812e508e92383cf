#include "slideshow/slide_window.h"

#include <cmath>

#include <QPainter>
#include <QScreen>

namespace genart {

SlideWindow::SlideWindow(QScreen* screen)
{
    setWindowTitle(QStringLiteral("genart"));
    setWindowFlag(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent); // every frame covers the window
    setCursor(Qt::BlankCursor);
    setScreen(screen);
    setGeometry(screen->geometry());
}

QSize SlideWindow::pixelSize() const
{
    const double ratio = screen()->devicePixelRatio();
    return {static_cast<int>(std::lround(width() * ratio)), static_cast<int>(std::lround(height() * ratio))};
}

int SlideWindow::refreshMilliseconds() const
{
    const double rate = screen()->refreshRate();
    return rate > 1 ? static_cast<int>(std::floor(1000 / rate)) : 16;
}

void SlideWindow::present(const QImage& frame)
{
    frame_ = frame;
    frame_.setDevicePixelRatio(screen()->devicePixelRatio());
    update();
}

void SlideWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (frame_.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(QPoint(0, 0), frame_);
}

void SlideWindow::keyPressEvent(QKeyEvent*)
{
    emit ended();
}

void SlideWindow::mousePressEvent(QMouseEvent*)
{
    emit ended();
}

} // namespace genart
