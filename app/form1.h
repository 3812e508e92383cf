#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "library/library.h"
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

// The library a window keeps its pictures in: the file, shared, flushed to the disk off the
// window's thread; in memory when there is no file (or it cannot be used, which it then tells).
std::unique_ptr<Library> openWindowLibrary(const QString& path);

class AnimationSave;
struct AnimationChoice;
class ColourCycling;
class ExploreWindow;
class GalleryWindow;
class HelpWindow;
class ShareActions;
class SurfaceView;

// The program's one window: the picture, the palette strip, four command buttons and the
// banner, at fixed positions on a canvas that never follows the window's size; where the
// window is smaller, scroll bars reach the rest.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    // Without a fixed seed, start-up seeds the generator from the time of day. Every picture
    // shown is kept in the library at `libraryFile`, which other windows and the command line
    // share, and the history file earlier versions kept beside it is carried in once. Without
    // one, the window keeps its pictures in memory until it closes.
    Form1(RandomSource& random, const Clock& clock, std::optional<std::uint32_t> fixedSeed = std::nullopt,
          const QString& libraryFile = QString());
    ~Form1() override;

    // Shows the window and draws the first palette and picture.
    void Form_Load();

    const ImageSurface& picture1Surface() const { return picture1_; }
    const ImageSurface& picture2Surface() const { return picture2_; }
    const PictureSession& session() const { return session_; }
    // Every picture kept, by any window; and the entry on the screen, if it is kept (a picture the
    // library could not write yet has none).
    Library& library() { return *library_; }
    std::optional<std::int64_t> shownEntryId() const { return shownId_; }

    // What the picture shows: the session's recipe, with the turn of the frame on the screen
    // while the colours cycle, so that saving or copying keeps that frame.
    Recipe recipeShown() const;

    // Writes the picture on the screen at `size`, with or without its caption, in the format
    // the path's extension names, carrying its recipe; the file appears whole or not at all.
    // Returns an empty string or why it failed.
    QString savePicture(const QString& path, const PictureSize& size = {}, bool caption = true);
    // The same drawn in the background; the window stays usable, a progress panel above the
    // picture shows how far it got and can cancel it. posterSaved tells the outcome.
    void savePosterInBackground(const QString& path, const PictureSize& size, bool caption = true);
    bool savingInBackground() const { return poster_ != nullptr; }
    // Puts the picture on the clipboard, with its recipe.
    void copyPicture();
    // One line in the status area above the picture, for a few seconds.
    void tell(const QString& message);

    // Shows a picture made elsewhere (another view, a file, a code) exactly as it was drawn and
    // keeps it as the newest entry. `origin` tells how it was made ("explore", "opened", …) and
    // `parents` the entries it came from.
    void showNewEntry(const HistoryEntry& entry, const std::string& origin,
                      const std::vector<std::int64_t>& parents = {});

    // The entry before or after the one shown, in the order entries were added by any window;
    // nothing at either end.
    void showPrevious();
    void showNext();
    // Shows a kept entry exactly as it was, as Left and Right do; false, and told in the status
    // line, when it cannot be read.
    bool showKeptEntry(std::int64_t id);
    // F: the entry shown becomes a favourite, or stops being one.
    void toggleFavourite();
    // G: the gallery of every entry's thumbnail, made at the first use.
    void showGallery();

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
    QAction* favouriteAction = nullptr; // "Favourite", F
    QAction* galleryAction = nullptr;   // "Gallery…", G

    // The explore view: E new pictures, V variations, R recolourings of the picture shown (also in
    // the picture's context menu). The view is made at the first of them.
    QAction* exploreAction = nullptr;
    QAction* variationsAction = nullptr;
    QAction* recolouringsAction = nullptr;
    ExploreWindow* exploreWindow = nullptr;
    QAction* wallpaperAction = nullptr;     // "Set as wallpaper"

    QScrollArea* scrollArea = nullptr;
    QWidget* canvas = nullptr; // 769 by 641, holding the controls at their places
    QLabel* statusLine = nullptr; // above the picture: where a save went, fading away
    QLabel* placeLine = nullptr;  // above the picture, at its right: "12 of 40", a star for a favourite
    HelpWindow* helpWindow = nullptr; // made at the first F1
    ShareActions* share = nullptr;    // open, paste, drop, copy code, save recipe
    GalleryWindow* gallery = nullptr; // made at the first G

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
    // The state now on the surfaces becomes the newest entry of the library.
    void record(const std::string& origin, const std::vector<std::int64_t>& parents = {});
    void showSurfaces();
    // The status line's place and star, and which way Left and Right can go; again whenever
    // another window or command changed the library.
    void updateNavigation();
    void watchLibrary();
    void makePlaceLine();
    void carryOverOldHistory();
    // Says what the library could not do, and what it had to tell, in the status line.
    void tellLibrary(const std::optional<LibraryError>& error = std::nullopt);
    // Where a save went, for a few seconds.
    void confirm(const QString& message);
    void addKey(const QKeySequence& key, QPushButton* button);
    // savePicture and savePosterInBackground for the picture `recipe` draws.
    QString savePictureOf(const Recipe& recipe, const QString& path, const PictureSize& size, bool caption);
    void savePosterOf(const Recipe& recipe, const QString& path, const PictureSize& size, bool caption);

    // The explore view's keys and menu entries; the view itself, opened and raised.
    void addExploreActions();
    ExploreWindow& exploreView();
    // The line above the picture names the keys of the views and the help: on the first start,
    // then faded; and while the help is open, fading once it is closed.
    void hintKeysOnFirstStart();
    void hintKeysWhileHelpOpen();
    void fadeKeysHintSoon();
    void showKeysHint();
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
    QString libraryFile_;
    std::unique_ptr<Library> library_;
    std::optional<std::int64_t> shownId_;
    bool shownFavourite_ = false;
    std::uint64_t seenChange_ = 0; // the library's change count when the window last looked
    QTimer* libraryWatch_ = nullptr;
    ColourCycling* cycling_ = nullptr;
    AnimationSave* animationSave_ = nullptr;
    RandomSource& random_; // the session's, which the explore view draws from too
    const Clock& clock_;
};

} // namespace genart
