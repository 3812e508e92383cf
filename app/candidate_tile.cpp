#include "app/candidate_tile.h"

#include <QMouseEvent>
#include <QPainter>

namespace genart {
namespace {

const QColor kEmpty(40, 40, 40);
const QColor kCurrentFrame(230, 230, 230);
const QColor kChosenFrame(255, 196, 0);

} // namespace

CandidateTile::CandidateTile(int index, QSize thumbnail, QWidget* parent) : QWidget(parent), index_(index)
{
    setFixedSize(thumbnail + QSize(2 * kBorder, 2 * kBorder));
    setCursor(Qt::PointingHandCursor);
    setToolTip(index < 9 ? tr("Show it in the main window (click or %1); Ctrl+click to choose it for mixing")
                               .arg(index + 1)
                         : tr("Show it in the main window (click); Ctrl+click to choose it for mixing"));
}

void CandidateTile::setThumbnail(const QImage& image)
{
    thumbnail_ = image;
    update();
}

void CandidateTile::setCurrent(bool current)
{
    current_ = current;
    update();
}

void CandidateTile::setChosen(bool chosen)
{
    chosen_ = chosen;
    update();
}

void CandidateTile::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect picture = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    if (thumbnail_.isNull())
        painter.fillRect(picture, kEmpty);
    else
        painter.drawImage(picture.topLeft(), thumbnail_);
    if (chosen_)
        painter.setPen(QPen(kChosenFrame, kBorder));
    else if (current_)
        painter.setPen(QPen(kCurrentFrame, 2));
    if (chosen_ || current_)
        painter.drawRect(rect().adjusted(kBorder / 2, kBorder / 2, -kBorder / 2, -kBorder / 2));
    if (index_ < 9) {
        const QRect badge(picture.topLeft() + QPoint(4, 4), QSize(18, 18));
        painter.fillRect(badge, QColor(0, 0, 0, 160));
        painter.setPen(Qt::white);
        painter.drawText(badge, Qt::AlignCenter, QString::number(index_ + 1));
    }
}

void CandidateTile::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
        emit choiceToggled(index_);
    else
        emit picked(index_);
}

} // namespace genart
