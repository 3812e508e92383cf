#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "session/picture_history.h"
#include "session/picture_session.h"
#include "session/picture_size.h"
#include "platform/qt/image_surface.h"

class QAction;
class QLabel;
class QProgressDialog;
template <typename T> class QFutureWatcher;
class QPropertyAnimation;
class QPushButton;
class QScrollArea;
class QTimer;

namespace genart {

class AnimationSave;
struct AnimationChoice;
class ColourCycling;
class HelpWindow;
class HistoryFile;
class SurfaceView;

// The program's one window: the picture, the palette strip, four command buttons and the
// banner, at fixed positions on a canvas that never follows the window's size; where the
// window is smaller, scroll bars reach the rest.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    // Without a fixed seed, start-up seeds the generator from the time of day. With a history
    // file, the pictures of earlier runs come before this run's and every new one is kept there.
    Form1(RandomSource& random, const Clock& clock, std::optional<std::uint32_t> fixedSeed = std::nullopt,
          const QString& historyFile = QString());
    ~Form1() override;

    // Shows the window and draws the first palette and picture.
    void Form_Load();

    const ImageSurface& picture1Surface() const { return picture1_; }
    const ImageSurface& picture2Surface() const { return picture2_; }
    const PictureSession& session() const { return session_; }
    // Every state shown, and which one is on the screen.
    const PictureHistory& history() const { return history_; }

    // Writes the picture on the screen at `size`, with or without its caption, in the format
    // the path's extension names, carrying its recipe; the file appears whole or not at all.
    // Returns an empty string or why it failed.
    QString savePicture(const QString& path, const PictureSize& size = {}, bool caption = true);
    // The same drawn in the background; the window stays usable, a progress panel above the
    // picture shows how far it got and can cancel it. posterSaved tells the outcome.
    void savePosterInBackground(const QString& path, const PictureSize& size, bool caption = true);
    bool savingInBackground() const { return poster_ != nullptr; }
    // Puts the picture on the clipboard.
    void copyPicture();

    // Shows a picture made elsewhere (another view, a file, a code) exactly as it was drawn and
    // keeps it as the newest entry. `origin` tells how it was made ("explore", "opened", …) and
    // `parents` the entries it came from.
    void showNewEntry(const HistoryEntry& entry, const std::string& origin,
                      const std::vector<std::int64_t>& parents = {});

    // The entry before or after the one shown; nothing at either end.
    void showPrevious();
    void showNext();

    // C: the colours of the picture and the strip flow, or stand still again as they were.
    void toggleColourCycling();
    const ColourCycling& colourCycling() const { return *cycling_; }
    // Writes the picture on the screen as a looping animation in the background, like a poster.
    void saveAnimationInBackground(const AnimationChoice& choice);
    bool savingAnimation() const { return animationSave_ != nullptr; }

signals:
    // An empty failure means the poster was written; a cancelled one is not an error.
    void posterSaved(const QString& path, const QString& failure, bool cancelled);
    // How far the poster being saved has got, 0 to 100, and in which stage.
    void posterProgress(int percent, const QString& stage);
    // As posterSaved, for animations.
    void animationSaved(const QString& path, const QString& failure, bool cancelled);

public:
    QAction* saveAction = nullptr;     // "Save picture…", Ctrl+S
    QAction* copyAction = nullptr;     // "Copy picture", Ctrl+C
    QAction* previousAction = nullptr; // "Previous picture": Left, Alt+Left, the mouse's back button
    QAction* nextAction = nullptr;     // "Next picture": Right, Alt+Right, the mouse's forward button
    QAction* helpAction = nullptr;     // F1
    QAction* cycleAction = nullptr;    // "Cycle colours", C
    QAction* saveAnimationAction = nullptr; // "Save animation…"
    QAction* wallpaperAction = nullptr;     // "Set as wallpaper"

    QScrollArea* scrollArea = nullptr;
    QWidget* canvas = nullptr; // 769 by 641, holding the controls at their places
    QLabel* statusLine = nullptr; // above the picture: where a save went, fading away
    HelpWindow* helpWindow = nullptr; // made at the first F1

    SurfaceView* Picture1 = nullptr;
    SurfaceView* Picture2 = nullptr;
    QPushButton* Command1 = nullptr; // new img / old palette
    QPushButton* Command2 = nullptr; // exit
    QPushButton* Command3 = nullptr; // change palette
    QPushButton* Command4 = nullptr; // banner, does nothing
    QPushButton* Command5 = nullptr; // new img / new palette

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command5_Click();
    void savePictureAs();
    void saveAnimationAs();
    void showHelp();

private:
    // A picture button's command, then the surfaces shown again.
    void perform(Action action);
    // The state now on the surfaces becomes the newest entry, kept in the file if there is one.
    void record();
    void showEntry();
    void showSurfaces();
    void updateNavigation();
    // Where a save went, for a few seconds.
    void confirm(const QString& message);
    void addKey(const QKeySequence& key, QPushButton* button);
    // "Set as wallpaper" in the picture's menu.
    void addWallpaperAction();

    std::optional<std::uint32_t> fixedSeed_;
    QFutureWatcher<std::optional<QString>>* poster_ = nullptr; // the poster being saved, if any
    QString posterPath_;
    QProgressDialog* posterProgress_ = nullptr;
    bool closeWhenSaved_ = false;
    QTimer* statusTimer_ = nullptr;
    QPropertyAnimation* statusFade_ = nullptr;
    ImageSurface picture1_;
    ImageSurface picture2_;
    PictureSession session_;
    PictureHistory history_;
    std::unique_ptr<HistoryFile> historyFile_;
    ColourCycling* cycling_ = nullptr;
    AnimationSave* animationSave_ = nullptr;
};

} // namespace genart
