#pragma once

#include <cstdint>
#include <optional>

#include <QWidget>

#include "session/picture_session.h"
#include "platform/qt/image_surface.h"

class QAction;
class QProgressDialog;
template <typename T> class QFutureWatcher;
class QPushButton;

namespace genart {

class SurfaceView;

// The program's one window: the picture, the palette strip, four command buttons and the
// banner, at fixed positions that never follow the window's size.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    // Without a fixed seed, start-up seeds the generator from the time of day.
    Form1(RandomSource& random, const Clock& clock, std::optional<std::uint32_t> fixedSeed = std::nullopt);
    ~Form1() override;

    // Shows the window and draws the first palette and picture.
    void Form_Load();

    const ImageSurface& picture1Surface() const { return picture1_; }
    const ImageSurface& picture2Surface() const { return picture2_; }
    const PictureSession& session() const { return session_; }

    // Writes the picture on the screen, `scale` times its size, as a PNG carrying its recipe;
    // the file appears whole or not at all. Returns an empty string or why it failed.
    QString savePicture(const QString& path, int scale);
    // Draws the picture `scale` times its size in the background and writes it; the window
    // stays usable, a progress dialog shows how far it got and can cancel it. posterSaved
    // tells the outcome.
    void savePosterInBackground(const QString& path, int scale);
    // Puts the picture on the clipboard.
    void copyPicture();

signals:
    // An empty failure means the poster was written; a cancelled one is not an error.
    void posterSaved(const QString& path, const QString& failure, bool cancelled);

public:
    QAction* saveAction = nullptr; // "Save picture…", Ctrl+S
    QAction* copyAction = nullptr; // "Copy picture"

    SurfaceView* Picture1 = nullptr;
    SurfaceView* Picture2 = nullptr;
    QPushButton* Command1 = nullptr; // new img / old palette
    QPushButton* Command2 = nullptr; // exit
    QPushButton* Command3 = nullptr; // change palette
    QPushButton* Command4 = nullptr; // banner, does nothing
    QPushButton* Command5 = nullptr; // new img / new palette

private slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command5_Click();
    void savePictureAs();

private:
    // A picture button's command, then the surfaces shown again.
    void perform(Action action);
    void showSurfaces();

    std::optional<std::uint32_t> fixedSeed_;
    QFutureWatcher<QString>* poster_ = nullptr; // the poster being drawn, if any
    QProgressDialog* posterProgress_ = nullptr;
    ImageSurface picture1_;
    ImageSurface picture2_;
    PictureSession session_;
};

} // namespace genart
