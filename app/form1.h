#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "app/key_table.h"
#include "files/file_calls.h"
#include "picture_files/picture_job.h"
#include "platform/qt/image_surface.h"
#include "session/picture_history.h"
#include "session/picture_session.h"
#include "session/session_on.h"

class QLabel;
class QPropertyAnimation;
class QPushButton;
class QScrollArea;
class QTimer;

namespace genart {

class BackgroundSave;
class ColourCycling;
class HelpWindow;
class HistoryFile;
class SurfaceView;

// The program's one window: the picture, the palette strip, four command buttons and the
// banner, at fixed positions on a canvas that never follows the window's size; where the
// window is smaller, scroll bars reach the rest. It shows what its surfaces hold and forwards
// every click and key: the session draws, picture jobs save, a background runner runs them.
// Its controls and actions are named (Picture1, Command1 … saveAction …) for whoever needs to
// find them.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    // Without a fixed seed, start-up seeds the generator from the time of day. With a history
    // file, the pictures of earlier runs come before this run's and every new one is kept there.
    // Pictures are saved through `files`.
    Form1(RandomSource& random, const Clock& clock, std::optional<std::uint32_t> fixedSeed = std::nullopt,
          const QString& historyFile = QString(), FileCalls& files = systemFileCalls());
    ~Form1() override;

    // Shows the window and draws the first palette and picture.
    void Form_Load();

    // Picture1's surface is as many times the normal size as the screen has device pixels to a
    // pixel (rounded up), so that the picture is drawn once, sharp; Picture2's is the strip.
    const ImageSurface& picture1Surface() const { return shown_.picture; }
    const ImageSurface& picture2Surface() const { return shown_.strip; }
    const PictureSession& session() const { return shown_.session; }
    // Every state shown, and which one is on the screen.
    const PictureHistory& history() const { return history_; }

    // Shows a picture made elsewhere (another view, a file, a code) exactly as it was drawn and
    // keeps it as the newest entry. `origin` tells how it was made ("explore", "opened", …) and
    // `parents` the entries it came from.
    void showNewEntry(const HistoryEntry& entry, const std::string& origin,
                      const std::vector<std::int64_t>& parents = {});

signals:
    // A save ended: an empty failure means the file was written; a cancelled save is not an error.
    void saved(const QString& path, const QString& failure, bool cancelled);
    // How far the save under way has got, 0 to 100, and in which stage.
    void saveProgress(int percent, const QString& stage);

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeControls();
    void makeStatusLine();
    // The window's keys and the picture's menu, one row each (see KeyRow).
    std::vector<KeyRow> keyRows();
    QAction* action(const char* name) const;

    // The picture buttons' commands, then the surfaces shown again.
    void perform(Action action);
    // The state now on the surfaces becomes the newest entry, kept in the file if there is one.
    void record();
    void showPrevious();
    void showNext();
    void showEntry();
    void showSurfaces();
    // Picture1's surface follows the screen's density; true when its scale changed.
    bool followScreenScale();
    void updateNavigation();

    void copyPicture();
    void savePictureAs();
    void saveAnimationAs();
    void toggleColourCycling();
    void showHelp();
    // A job for the entry on the screen, with what is drawn of it, at `size` to `path`.
    PictureJob shownJob(const QString& path, const PictureSize& size) const;
    // Runs a save in the background, one at a time; the save actions are off meanwhile.
    void startSave(PictureJob job);
    // Where a save went, for a few seconds.
    void confirm(const QString& message);

    std::optional<std::uint32_t> fixedSeed_;
    FileCalls& files_;
    SessionOn<ImageSurface> shown_; // the session, drawing on Picture1 and Picture2
    PictureHistory history_;
    std::unique_ptr<HistoryFile> historyFile_;

    QWidget* canvas_ = nullptr; // 769 by 641, holding the controls at their places
    SurfaceView* picture1View_ = nullptr;
    SurfaceView* picture2View_ = nullptr;
    QPushButton* command1_ = nullptr; // new img / old palette
    QPushButton* command2_ = nullptr; // exit
    QPushButton* command3_ = nullptr; // change palette
    QPushButton* command5_ = nullptr; // new img / new palette
    QLabel* statusLine_ = nullptr;    // above the picture: where a save went, fading away
    QTimer* statusTimer_ = nullptr;
    QPropertyAnimation* statusFade_ = nullptr;
    HelpWindow* helpWindow_ = nullptr; // made at the first F1
    ColourCycling* cycling_ = nullptr;
    std::vector<KeyRow> keys_;
    BackgroundSave* save_ = nullptr; // the save under way, if any
    bool closeWhenSaved_ = false;
};

} // namespace genart
