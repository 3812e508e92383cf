#pragma once

#include <QImage>
#include <QWidget>

#include "slideshow/slide_canvas.h"

class QScreen;

namespace genart {

// A window of its own filling one screen, without a frame or a cursor, showing the slideshow's
// frames; any key or click ends the show.
class SlideWindow final : public QWidget, public SlideCanvas {
    Q_OBJECT
public:
    explicit SlideWindow(QScreen* screen);

    QSize pixelSize() const override;
    int refreshMilliseconds() const override;
    void present(const QImage& frame) override;

signals:
    void ended();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage frame_;
};

} // namespace genart
