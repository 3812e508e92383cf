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
#include "library/library.h"
#include "picture_files/picture_job.h"
#include "platform/qt/image_surface.h"
#include "session/picture_history.h"
#include "session/picture_session.h"
#include "session/session_on.h"

class QLabel;
class QPropertyAnimation;
class QPushButton;
class QTimer;

namespace genart {

// The library a window keeps its pictures in: the file, shared, flushed to the disk off the
// window's thread; in memory when there is no file (or it cannot be used, which it then tells).
std::unique_ptr<Library> openWindowLibrary(const QString& path);

class BackgroundSave;
class ColourCycling;
class ExploreWindow;
class GalleryWindow;
class HelpWindow;
class ShareActions;
class SurfaceView;
class WallpaperAction;

// The program's one window: the picture, the palette strip, four command buttons and the
// banner, at fixed positions on a canvas that never follows the window's size; where the
// window is smaller, scroll bars reach the rest. It shows what its surfaces hold and forwards
// every click and key: the session draws, the library keeps, picture jobs save, a background
// runner runs them. Its controls and actions are named (Picture1, Command1 … saveAction …) for
// whoever needs to find them.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    // Without a fixed seed, start-up seeds the generator from the time of day. Every picture
    // shown is kept in the library at `libraryFile`, which other windows and the command line
    // share, and the history file earlier versions kept beside it is carried in once. Without
    // one, the window keeps its pictures in memory until it closes. Pictures are saved through
    // `files`.
    Form1(RandomSource& random, const Clock& clock, std::optional<std::uint32_t> fixedSeed = std::nullopt,
          const QString& libraryFile = QString(), FileCalls& files = systemFileCalls());
    ~Form1() override;

    // Shows the window and draws the first palette and picture.
    void Form_Load();

    // Picture1's surface is as many times the normal size as the screen has device pixels to a
    // pixel (rounded up), so that the picture is drawn once, sharp; Picture2's is the strip.
    const ImageSurface& picture1Surface() const { return shown_.picture; }
    const ImageSurface& picture2Surface() const { return shown_.strip; }
    const PictureSession& session() const { return shown_.session; }
    // Every picture kept, by any window; and the entry on the screen, if it is kept (a picture the
    // library could not write yet has none).
    Library& library() { return *library_; }
    std::optional<std::int64_t> shownEntryId() const { return shownId_; }

    // What the picture shows: the session's recipe, with the turn of the frame on the screen
    // while the colours cycle, so that saving or copying keeps that frame.
    Recipe recipeShown() const;

    // Shows a picture made elsewhere (another view, a file, a code) exactly as it was drawn and
    // keeps it as the newest entry. `origin` tells how it was made ("explore", "opened", …) and
    // `parents` the entries it came from.
    void showNewEntry(const HistoryEntry& entry, const std::string& origin,
                      const std::vector<std::int64_t>& parents = {});
    // Shows a kept entry exactly as it was, as Left and Right do; false, and told in the status
    // line, when it cannot be read.
    bool showKeptEntry(std::int64_t id);
    // One line in the status area above the picture, for a few seconds.
    void tell(const QString& message);

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
    void makePlaceLine();
    // The window's keys and the picture's menu, one row each (see KeyRow).
    std::vector<KeyRow> keyRows();
    QAction* action(const char* name) const;

    // The picture buttons' commands, then the surfaces shown again.
    void perform(Action action);
    // The state now on the surfaces becomes the newest entry of the library.
    void record(const std::string& origin, const std::vector<std::int64_t>& parents = {});
    // The entry before or after the one shown, in the order entries were added by any window;
    // nothing at either end.
    void showPrevious();
    void showNext();
    void showSurfaces();
    // Picture1's surface follows the screen's density; true when its scale changed.
    bool followScreenScale();
    // The status line's place and star, and which way Left and Right can go; again whenever
    // another window or command changed the library.
    void updateNavigation();
    void watchLibrary();
    void carryOverOldHistory();
    // Says what the library could not do, and what it had to tell, in the status line.
    void tellLibrary(const std::optional<LibraryError>& error = std::nullopt);
    // F: the entry shown becomes a favourite, or stops being one.
    void toggleFavourite();
    // G: the gallery of every entry's thumbnail, made at the first use.
    void showGallery();

    void copyPicture();
    void savePictureAs();
    void saveAnimationAs();
    void toggleColourCycling();
    void showHelp();
    // A job for the picture on the screen (the frame shown while the colours cycle), with what
    // is drawn of it, at `size` to `path`.
    PictureJob shownJob(const QString& path, const PictureSize& size) const;
    // Runs a save in the background, one at a time; the save actions are off meanwhile.
    void startSave(PictureJob job);
    // Where a save went, for a few seconds.
    void confirm(const QString& message);

    // The explore view, opened and raised.
    ExploreWindow& exploreView();
    // The line above the picture names the keys of the views and the help: on the first start,
    // then faded; and while the help is open, fading once it is closed.
    void hintKeysOnFirstStart();
    void hintKeysWhileHelpOpen();
    void fadeKeysHintSoon();
    void showKeysHint();

    std::optional<std::uint32_t> fixedSeed_;
    FileCalls& files_;
    RandomSource& random_; // the session's, which the explore view draws from too
    const Clock& clock_;
    SessionOn<ImageSurface> shown_; // the session, drawing on Picture1 and Picture2
    QString libraryFile_;
    std::unique_ptr<Library> library_;
    std::optional<std::int64_t> shownId_;
    bool shownFavourite_ = false;
    std::uint64_t seenChange_ = 0; // the library's change count when the window last looked
    QTimer* libraryWatch_ = nullptr;

    QWidget* canvas_ = nullptr; // 769 by 641, holding the controls at their places
    SurfaceView* picture1View_ = nullptr;
    SurfaceView* picture2View_ = nullptr;
    QPushButton* command1_ = nullptr; // new img / old palette
    QPushButton* command2_ = nullptr; // exit
    QPushButton* command3_ = nullptr; // change palette
    QPushButton* command5_ = nullptr; // new img / new palette
    QLabel* statusLine_ = nullptr;    // above the picture: where a save went, fading away
    QLabel* placeLine_ = nullptr;     // above the picture, at its right: "12 of 40", a star for a favourite
    QTimer* statusTimer_ = nullptr;
    QPropertyAnimation* statusFade_ = nullptr;
    HelpWindow* helpWindow_ = nullptr;       // made at the first F1
    ExploreWindow* exploreWindow_ = nullptr; // made at the first E, V or R
    GalleryWindow* gallery_ = nullptr;       // made at the first G
    ShareActions* share_ = nullptr;          // open, paste, drop, copy code, save recipe
    WallpaperAction* wallpaper_ = nullptr;   // "Set as wallpaper"
    ColourCycling* cycling_ = nullptr;
    std::vector<KeyRow> keys_;
    BackgroundSave* save_ = nullptr; // the save under way, if any
    bool closeWhenSaved_ = false;
};

} // namespace genart
