#pragma once

#include <QImage>
#include <QWidget>

namespace genart {

// One candidate of the explore view: its thumbnail, its number for the keys 1 to 9, a frame when
// it is the current one and a thicker one when it is chosen for mixing. A click picks it; a click
// with Ctrl or Shift chooses it for mixing, or no longer.
class CandidateTile final : public QWidget {
    Q_OBJECT
public:
    CandidateTile(int index, QSize thumbnail, QWidget* parent = nullptr);

    int index() const { return index_; }
    // A null image shows an empty tile until the thumbnail is drawn.
    void setThumbnail(const QImage& image);
    const QImage& thumbnail() const { return thumbnail_; }
    void setCurrent(bool current);
    void setChosen(bool chosen);
    bool chosen() const { return chosen_; }

    // Room around the thumbnail for the frames.
    static constexpr int kBorder = 4;

signals:
    void picked(int index);
    void choiceToggled(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int index_;
    QImage thumbnail_;
    bool current_ = false;
    bool chosen_ = false;
};

} // namespace genart
