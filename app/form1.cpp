#include "app/form1.h"

#include <cmath>
#include <iostream>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPalette>
#include <QProgressDialog>
#include <QPromise>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <QtConcurrent/QtConcurrentRun>

#include "app/animation_save.h"
#include "app/colour_cycling.h"
#include "app/explore_window.h"
#include "app/gallery_window.h"
#include "app/help_window.h"
#include "app/poster_save.h"
#include "app/save_dialog.h"
#include "app/share_actions.h"
#include "app/wallpaper_action.h"
#include "files/picture_export.h"
#include "files/image_output.h"
#include "files/recipe_file.h"
#include "opening/shared_recipe.h"
#include "platform/qt/surface_view.h"

namespace genart {
namespace {

const char* const kBannerText =
    "GENERATIVE ART BY ORVANIK    web: www.orvanik.example    mail: art@orvanik.example";

// Everything the window holds, at its fixed places.
constexpr int kCanvasWidth = 769;
constexpr int kCanvasHeight = 641;
// The free band above the picture, where saves tell how far they got and where they went.
const QRect kStatusArea(32, 2, 601, 76);

const QColor kStatusText(230, 230, 230);
constexpr int kConfirmationMilliseconds = 4000;
constexpr int kFadeMilliseconds = 800;
// How often the window looks whether another window or command changed the library.
constexpr int kLibraryWatchMilliseconds = 1000;

// Shares of a poster save's progress bar: drawing, then encoding, then writing.
constexpr int kDrawnAt = 60;
constexpr int kEncodedAt = 97;


QPushButton* makeButton(const char* caption, const QRect& geometry, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setGeometry(geometry);
    return button;
}

int overallPercent(SaveStage stage, double done)
{
    const auto within = [done](int from, int to) { return from + static_cast<int>(std::floor(done * (to - from))); };
    switch (stage) {
    case SaveStage::Drawing:
        return within(0, kDrawnAt);
    case SaveStage::Encoding:
        return within(kDrawnAt, kEncodedAt);
    case SaveStage::Writing:
        break;
    }
    return within(kEncodedAt, 100);
}

QString stageAt(int percent, const PictureSize& size)
{
    const QString pixels = QObject::tr("%1 × %2").arg(size.width).arg(size.height);
    if (percent < kDrawnAt)
        return QObject::tr("Drawing the picture at %1…").arg(pixels);
    if (percent < kEncodedAt)
        return QObject::tr("Encoding the picture at %1…").arg(pixels);
    return QObject::tr("Writing the picture at %1…").arg(pixels);
}

} // namespace

Form1::Form1(RandomSource& random, const Clock& clock, std::optional<std::uint32_t> fixedSeed,
             const QString& libraryFile)
    : fixedSeed_(fixedSeed), picture1_(kPictureWidth, kPictureHeight), picture2_(kStripWidth, kStripHeight),
      session_(random, clock, picture1_, picture2_), libraryFile_(libraryFile), library_(openWindowLibrary(libraryFile)),
      random_(random), clock_(clock)
{

    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QStringLiteral(":/genart/genart-256.png"))); // packaging/icons, as installed for the desktop
    resize(312, 213); // the restored size; the window opens maximized

    // The command buttons are 17 pixels high and 121 wide: their captions need a small face.
    QFont controls = font();
    controls.setPointSize(8);
    setFont(controls);
    QFont commands = controls;
    commands.setPointSize(7);

    // The controls sit on a canvas of their own size; a window smaller than it scrolls.
    scrollArea = new QScrollArea(this);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setFocusPolicy(Qt::NoFocus);
    scrollArea->viewport()->setBackgroundRole(QPalette::Window);
    scrollArea->viewport()->setAutoFillBackground(true);
    canvas = new QWidget;
    canvas->setFixedSize(kCanvasWidth, kCanvasHeight);
    canvas->setAutoFillBackground(true);
    scrollArea->setWidget(canvas);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollArea);

    // Created in tab order.
    Picture1 = new SurfaceView(picture1_, canvas);
    Picture1->move(32, 80);
    Command1 = makeButton("new img / old palette", QRect(648, 448, 121, 17), canvas);
    Command2 = makeButton("exit", QRect(648, 512, 41, 17), canvas);
    Picture2 = new SurfaceView(picture2_, canvas);
    Picture2->move(32, 552);
    Command3 = makeButton("change palette", QRect(648, 480, 121, 17), canvas);
    Command4 = makeButton(kBannerText, QRect(32, 616, 601, 25), canvas);
    Command5 = makeButton("new img / new palette", QRect(648, 416, 121, 17), canvas);

    for (QPushButton* command : {Command1, Command2, Command3, Command5})
        command->setFont(commands);

    setTabOrder(Picture1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Picture2);
    setTabOrder(Picture2, Command3);
    setTabOrder(Command3, Command4);
    setTabOrder(Command4, Command5);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);

    // A key for each command, told in its tooltip; Enter presses the focused button as Space does.
    Command5->setToolTip(tr("A new palette strip, then a new picture from it (N)"));
    Command1->setToolTip(tr("A new picture from the strip as it stands (I)"));
    Command3->setToolTip(tr("A new palette strip; the picture keeps its colours (P)"));
    Command2->setToolTip(tr("Exit (Ctrl+Q)"));
    addKey(QKeySequence(Qt::Key_N), Command5);
    addKey(QKeySequence(Qt::Key_I), Command1);
    addKey(QKeySequence(Qt::Key_P), Command3);
    addKey(QKeySequence(Qt::CTRL | Qt::Key_Q), Command2);
    for (QPushButton* button : {Command1, Command2, Command3, Command4, Command5})
        button->installEventFilter(this);

    saveAction = new QAction(tr("Save picture…"), this);
    saveAction->setShortcut(QKeySequence::Save);
    copyAction = new QAction(tr("Copy picture"), this);
    copyAction->setShortcut(QKeySequence::Copy);
    previousAction = new QAction(tr("Previous picture"), this);
    previousAction->setShortcuts({QKeySequence(Qt::Key_Left), QKeySequence(Qt::ALT | Qt::Key_Left),
                                  QKeySequence(Qt::Key_Back)});
    nextAction = new QAction(tr("Next picture"), this);
    nextAction->setShortcuts({QKeySequence(Qt::Key_Right), QKeySequence(Qt::ALT | Qt::Key_Right),
                              QKeySequence(Qt::Key_Forward)});
    helpAction = new QAction(tr("Help"), this);
    helpAction->setShortcut(QKeySequence(Qt::Key_F1));
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    cycleAction = new QAction(tr("Cycle colours"), this);
    cycleAction->setShortcut(QKeySequence(Qt::Key_C));
    cycleAction->setCheckable(true);
    saveAnimationAction = new QAction(tr("Save animation…"), this);
    auto* animationSeparator = new QAction(this);
    animationSeparator->setSeparator(true);
    favouriteAction = new QAction(tr("Favourite"), this);
    favouriteAction->setShortcut(QKeySequence(Qt::Key_F));
    favouriteAction->setCheckable(true);
    galleryAction = new QAction(tr("Gallery…"), this);
    galleryAction->setShortcut(QKeySequence(Qt::Key_G));
    addActions({saveAction, copyAction, previousAction, nextAction, helpAction, cycleAction, favouriteAction,
                galleryAction});
    Picture1->addActions({saveAction, copyAction, separator, previousAction, nextAction, favouriteAction,
                          galleryAction, animationSeparator, cycleAction, saveAnimationAction});
    connect(favouriteAction, &QAction::triggered, this, &Form1::toggleFavourite);
    connect(galleryAction, &QAction::triggered, this, &Form1::showGallery);
    addWallpaperAction();
    cycling_ = new ColourCycling(*Picture1, *Picture2, this);
    connect(cycleAction, &QAction::triggered, this, &Form1::toggleColourCycling);
    connect(cycling_, &ColourCycling::runningChanged, cycleAction, &QAction::setChecked);
    connect(saveAnimationAction, &QAction::triggered, this, &Form1::saveAnimationAs);
    Picture1->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(saveAction, &QAction::triggered, this, &Form1::savePictureAs);
    connect(copyAction, &QAction::triggered, this, &Form1::copyPicture);
    connect(previousAction, &QAction::triggered, this, &Form1::showPrevious);
    connect(nextAction, &QAction::triggered, this, &Form1::showNext);
    connect(helpAction, &QAction::triggered, this, &Form1::showHelp);
    addExploreActions();

    // Opening, pasting and dropping what is shared; the code and the recipe to share.
    share = new ShareActions(*this);
    auto* shareSeparator = new QAction(this);
    shareSeparator->setSeparator(true);
    addActions(share->actions());
    Picture1->addAction(shareSeparator);
    Picture1->addActions(share->actions());

    statusLine = new QLabel(canvas);
    statusLine->setGeometry(kStatusArea);
    statusLine->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    statusLine->setWordWrap(true);
    QPalette light = statusLine->palette();
    light.setColor(QPalette::WindowText, kStatusText);
    statusLine->setPalette(light);
    auto* opacity = new QGraphicsOpacityEffect(statusLine);
    statusLine->setGraphicsEffect(opacity);
    statusLine->hide();
    statusTimer_ = new QTimer(this);
    statusTimer_->setSingleShot(true);
    statusFade_ = new QPropertyAnimation(opacity, "opacity", this);
    statusFade_->setDuration(kFadeMilliseconds);
    statusFade_->setStartValue(1.0);
    statusFade_->setEndValue(0.0);
    connect(statusTimer_, &QTimer::timeout, statusFade_, [this] { statusFade_->start(); });
    connect(statusFade_, &QPropertyAnimation::finished, statusLine, &QWidget::hide);
    makePlaceLine();
}

Form1::~Form1()
{
    delete gallery; // before the library it shows, which goes before the window's children
    // A poster still being drawn is abandoned, not left running past the window.
    if (poster_) {
        poster_->cancel();
        poster_->waitForFinished();
    }
}

void Form1::makePlaceLine()
{
    // At the right of the status band, where the messages on the left never reach.
    constexpr int kPlaceWidth = 150;
    placeLine = new QLabel(canvas);
    placeLine->setObjectName(QStringLiteral("placeLine"));
    placeLine->setGeometry(kStatusArea.right() - kPlaceWidth, kStatusArea.top(), kPlaceWidth, kStatusArea.height());
    placeLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    placeLine->setPalette(statusLine->palette());
    statusLine->setContentsMargins(0, 0, kPlaceWidth, 0);
    libraryWatch_ = new QTimer(this);
    connect(libraryWatch_, &QTimer::timeout, this, &Form1::watchLibrary);
    libraryWatch_->start(kLibraryWatchMilliseconds);
}

void Form1::addWallpaperAction()
{
    auto* wallpaper = new WallpaperAction([this] { return recipeShown(); }, this);
    wallpaperAction = wallpaper->action();
    auto* wallpaperSeparator = new QAction(this);
    wallpaperSeparator->setSeparator(true);
    Picture1->addActions({wallpaperSeparator, wallpaperAction});
    connect(wallpaper, &WallpaperAction::finished, this, [this](const QString& message) { confirm(message); });
}

void Form1::addKey(const QKeySequence& key, QPushButton* button)
{
    auto* action = new QAction(this);
    action->setShortcut(key);
    addAction(action);
    connect(action, &QAction::triggered, button, &QPushButton::click);
}

void Form1::Form_Load()
{
    showMaximized();
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::black);
    setPalette(background);
    setAutoFillBackground(true);
    if (windowHandle())
        connect(windowHandle(), &QWindow::screenChanged, this, &Form1::showSurfaces, Qt::UniqueConnection);

    carryOverOldHistory();
    session_.startUp(fixedSeed_ ? *fixedSeed_ : seedFromTimeOfDay());
    record(origins::kStart);
    showSurfaces();
    hintKeysOnFirstStart();
}

void Form1::Command1_Click()
{
    perform(Action::Image);
}

void Form1::Command2_Click()
{
    close();
}

void Form1::Command3_Click()
{
    perform(Action::Palette);
}

void Form1::Command5_Click()
{
    perform(Action::Both);
}

void Form1::perform(Action action)
{
    cycling_->stop();
    // A command given on an earlier entry draws from it: that entry is the new one's parent.
    std::vector<std::int64_t> parents;
    if (shownId_)
        parents.push_back(*shownId_);
    session_.perform(action);
    record(origins::kCommand, parents);
    showSurfaces();
}

void Form1::showNewEntry(const HistoryEntry& entry, const std::string& origin, const std::vector<std::int64_t>& parents)
{
    cycling_->stop();
    session_.restore(entry.picture, entry.strip);
    record(origin, parents);
    showSurfaces();
}

void Form1::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::BackButton)
        showPrevious();
    else if (event->button() == Qt::ForwardButton)
        showNext();
    else
        QWidget::mouseReleaseEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QPushButton*>(watched);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (button && enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

Recipe Form1::recipeShown() const
{
    Recipe shown = session_.recipe();
    if (cycling_->running())
        shown.cycle = cycling_->shownTurn();
    return shown;
}

QString Form1::savePicture(const QString& path, const PictureSize& size, bool caption)
{
    return savePictureOf(recipeShown(), path, size, caption);
}

QString Form1::savePictureOf(const Recipe& recipe, const QString& path, const PictureSize& size, bool caption)
{
    // The dialog has already asked before replacing a file. A frame of the colours' cycle is
    // drawn again from its recipe, bit for bit the frame shown.
    const QImage picture = recipe == session_.recipe() ? pictureAtSize(recipe, picture1_.image(), size, caption)
                                                       : exportPicture(recipe, size, caption)->picture;
    return QString::fromStdString(writeImages({{path.toStdString(), picture, recipeText(recipe)}}, true));
}

void Form1::savePosterInBackground(const QString& path, const PictureSize& size, bool caption)
{
    savePosterOf(recipeShown(), path, size, caption);
}

void Form1::savePosterOf(const Recipe& recipe, const QString& path, const PictureSize& size, bool caption)
{
    if (poster_)
        return; // one at a time; the save action is off meanwhile
    saveAction->setEnabled(false);
    posterPath_ = path;
    // Inside the window, above the picture and away from the buttons; it takes no focus from
    // them, so neither a click nor a key meant for them reaches its Cancel.
    posterProgress_ = new QProgressDialog(stageAt(0, size), tr("Cancel"), 0, 100, canvas);
    posterProgress_->setWindowFlags(Qt::Widget); // a dialog is made a window of its own unless told
    posterProgress_->setWindowModality(Qt::NonModal);
    posterProgress_->setAutoClose(false);
    posterProgress_->setAutoReset(false);
    QPalette readable = posterProgress_->palette(); // on the window's black
    readable.setColor(QPalette::WindowText, kStatusText);
    posterProgress_->setPalette(readable);
    posterProgress_->setGeometry(kStatusArea);
    posterProgress_->setFixedSize(kStatusArea.size()); // its texts would otherwise grow it over the picture
    for (QPushButton* cancel : posterProgress_->findChildren<QPushButton*>())
        cancel->setFocusPolicy(Qt::NoFocus);
    statusLine->hide();
    posterProgress_->show();

    poster_ = new QFutureWatcher<std::optional<QString>>(this);
    connect(poster_, &QFutureWatcher<std::optional<QString>>::progressValueChanged, this, [this, size](int percent) {
        if (!posterProgress_)
            return;
        posterProgress_->setValue(percent);
        const QString stage = stageAt(percent, size);
        posterProgress_->setLabelText(stage);
        emit posterProgress(percent, stage);
    });
    connect(posterProgress_, &QProgressDialog::canceled, poster_, &QFutureWatcher<std::optional<QString>>::cancel);
    connect(poster_, &QFutureWatcher<std::optional<QString>>::finished, this, [this, path] {
        const bool written = !poster_->isCanceled() && poster_->future().resultCount() > 0 && poster_->result();
        const bool cancelled = !written;
        const QString failure = written ? *poster_->result() : QString();
        poster_->deleteLater();
        poster_ = nullptr;
        posterProgress_->deleteLater();
        posterProgress_ = nullptr;
        saveAction->setEnabled(true);
        if (!failure.isEmpty())
            QMessageBox::warning(this, tr("Save picture"), tr("The picture was not saved.\n\n%1").arg(failure));
        else if (!cancelled)
            confirm(tr("Saved %1").arg(QDir::toNativeSeparators(path)));
        emit posterSaved(path, failure, cancelled);
        if (closeWhenSaved_)
            close();
    });

    poster_->setFuture(QtConcurrent::run([recipe, size, caption, path](QPromise<std::optional<QString>>& promise) {
        promise.setProgressRange(0, 100);
        std::atomic<bool> cancel{false};
        const auto saved = savePoster(
            recipe, size, caption, path,
            [&](SaveStage stage, double done) {
                promise.setProgressValue(overallPercent(stage, done));
                if (promise.isCanceled())
                    cancel = true;
            },
            cancel);
        if (!promise.isCanceled())
            promise.addResult(saved);
    }));
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (helpWindow)
        helpWindow->close(); // goes with the window; reopened by F1 should the window stay
    if (exploreWindow)
        exploreWindow->close();
    if (gallery)
        gallery->close();
    if (!poster_ && !animationSave_) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    if (closeWhenSaved_)
        return;
    const QString saving = poster_
        ? tr("A picture is still being saved to %1.").arg(QDir::toNativeSeparators(posterPath_))
        : tr("An animation is still being saved to %1.").arg(QDir::toNativeSeparators(animationSave_->path()));
    QMessageBox question(QMessageBox::Question, poster_ ? tr("Save picture") : tr("Save animation"), saving,
                         QMessageBox::NoButton, this);
    question.setInformativeText(tr("Wait until it is written, then close, or drop it and close now?"));
    QPushButton* wait = question.addButton(tr("Wait"), QMessageBox::AcceptRole);
    QPushButton* drop = question.addButton(tr("Drop it"), QMessageBox::DestructiveRole);
    question.addButton(QMessageBox::Cancel);
    question.setDefaultButton(wait);
    question.exec();
    if (question.clickedButton() == drop) {
        if (poster_) {
            poster_->cancel();
            poster_->waitForFinished();
        }
        if (animationSave_) {
            emit animationSaved(animationSave_->path(), QString(), true);
            delete animationSave_; // cancels it and waits for its thread
            animationSave_ = nullptr;
        }
        event->accept();
    } else if (question.clickedButton() == wait) {
        if (poster_ || animationSave_)
            closeWhenSaved_ = true;
        else
            event->accept(); // it was written while the question was open
    }
}

void Form1::confirm(const QString& message)
{
    statusFade_->stop();
    static_cast<QGraphicsOpacityEffect*>(statusLine->graphicsEffect())->setOpacity(1.0);
    statusLine->setText(message);
    statusLine->show();
    statusTimer_->start(kConfirmationMilliseconds);
}

void Form1::copyPicture()
{
    const Recipe recipe = recipeShown();
    const QImage picture = recipe == session_.recipe() ? picture1_.image() : exportPicture(recipe, {})->picture;
    QGuiApplication::clipboard()->setMimeData(pictureMimeData(picture, recipe));
}

void Form1::tell(const QString& message)
{
    confirm(message);
}

void Form1::savePictureAs()
{
    // While the colours cycle, the frame on the screen stays there while the dialog is open, and
    // it is the one saved.
    cycling_->hold();
    const Recipe recipe = recipeShown();
    const QSize screenPixels = screen() ? screen()->size() * screen()->devicePixelRatio() : QSize();
    const auto choice = askWhereToSave(this, QString::fromStdString(recipe.imeslike), screenPixels);
    cycling_->resume();
    if (!choice)
        return;
    if (!choice->size.isNormal()) {
        savePosterOf(recipe, choice->path, choice->size, choice->caption);
        return;
    }
    const QString failure = savePictureOf(recipe, choice->path, choice->size, choice->caption);
    if (!failure.isEmpty())
        QMessageBox::warning(this, tr("Save picture"), tr("The picture was not saved.\n\n%1").arg(failure));
    else
        confirm(tr("Saved %1").arg(QDir::toNativeSeparators(choice->path)));
}

void Form1::showHelp()
{
    if (!helpWindow)
        helpWindow = new HelpWindow(this);
    helpWindow->show();
    helpWindow->raise();
    helpWindow->activateWindow();
    hintKeysWhileHelpOpen();
}

void Form1::toggleColourCycling()
{
    if (cycling_->running()) {
        cycling_->stop();
        showSurfaces();
    } else {
        cycling_->start(session_.recipe(), session_.palette(), static_cast<int>(std::ceil(devicePixelRatioF())));
    }
}

void Form1::saveAnimationAs()
{
    if (const auto choice = askForAnimation(this, QString::fromStdString(session_.recipe().imeslike)))
        saveAnimationInBackground(*choice);
}

void Form1::saveAnimationInBackground(const AnimationChoice& choice)
{
    if (animationSave_)
        return; // one at a time; the action is off meanwhile
    saveAnimationAction->setEnabled(false);
    statusLine->hide();
    animationSave_ = new AnimationSave(session_.recipe(), choice, canvas, kStatusArea, this);
    connect(animationSave_, &AnimationSave::finished, this,
            [this](const QString& path, const QString& failure, bool cancelled) {
                const QString chosen = animationSave_->chosen(); // a loop fitted for sharing: what it became
                animationSave_->deleteLater();
                animationSave_ = nullptr;
                saveAnimationAction->setEnabled(true);
                if (!failure.isEmpty())
                    QMessageBox::warning(this, tr("Save animation"),
                                         tr("The animation was not saved.\n\n%1").arg(failure));
                else if (!cancelled)
                    confirm(chosen.isEmpty() ? tr("Saved %1").arg(QDir::toNativeSeparators(path))
                                             : tr("Saved %1: %2").arg(QDir::toNativeSeparators(path), chosen));
                emit animationSaved(path, failure, cancelled);
                if (closeWhenSaved_)
                    close();
            });
}

void Form1::showSurfaces()
{
    // On a screen with more device pixels than pixels, the picture is drawn again that finely
    // from its recipe, and the strip's columns are widened, so neither is blurred by scaling.
    const qreal ratio = devicePixelRatioF();
    if (ratio > 1) {
        const int scale = static_cast<int>(std::ceil(ratio));
        ImageSurface sharp(kPictureWidth * scale, kPictureHeight * scale);
        ImageSurface strip(kStripWidth, kStripHeight);
        drawRecipe(session_.recipe(), sharp, strip, scale);
        QImage picture = sharp.image();
        picture.setDevicePixelRatio(scale);
        Picture1->setSharpImage(picture);
        QImage columns = picture2_.image().scaled(kStripWidth * scale, kStripHeight * scale, Qt::IgnoreAspectRatio,
                                                  Qt::FastTransformation);
        columns.setDevicePixelRatio(scale);
        Picture2->setSharpImage(columns);
    } else {
        Picture1->setSharpImage(QImage());
        Picture2->setSharpImage(QImage());
    }
    Picture1->update();
    Picture2->update();
}

// The explore view and the hint that tells of it.

namespace {

const char* const kFirstStartKey = "hints/keysShown";
constexpr int kHintMilliseconds = 9000;
constexpr int kHintAfterHelpMilliseconds = 1500;

} // namespace

void Form1::addExploreActions()
{
    exploreAction = new QAction(tr("Explore new pictures…"), this);
    exploreAction->setShortcut(QKeySequence(Qt::Key_E));
    variationsAction = new QAction(tr("Variations of this picture…"), this);
    variationsAction->setShortcut(QKeySequence(Qt::Key_V));
    recolouringsAction = new QAction(tr("This picture in new colours…"), this);
    recolouringsAction->setShortcut(QKeySequence(Qt::Key_R));
    connect(exploreAction, &QAction::triggered, this, [this] { exploreView().showNewPictures(); });
    connect(variationsAction, &QAction::triggered, this, [this] { exploreView().showVariations(); });
    connect(recolouringsAction, &QAction::triggered, this, [this] { exploreView().showRecolourings(); });
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addActions({exploreAction, variationsAction, recolouringsAction});
    Picture1->addActions({separator, exploreAction, variationsAction, recolouringsAction});
}

ExploreWindow& Form1::exploreView()
{
    if (!exploreWindow)
        exploreWindow = new ExploreWindow(*this, random_, clock_);
    exploreWindow->show();
    exploreWindow->raise();
    exploreWindow->activateWindow();
    return *exploreWindow;
}

void Form1::showKeysHint()
{
    statusFade_->stop();
    static_cast<QGraphicsOpacityEffect*>(statusLine->graphicsEffect())->setOpacity(1.0);
    statusLine->setText(tr("E: many new pictures at once   V: variations of this one   R: this one in new "
                           "colours   F1: help   Right-click the picture for more"));
    statusLine->show();
}

void Form1::hintKeysOnFirstStart()
{
    QSettings settings;
    if (settings.value(QLatin1String(kFirstStartKey), false).toBool())
        return;
    settings.setValue(QLatin1String(kFirstStartKey), true);
    showKeysHint();
    statusTimer_->start(kHintMilliseconds);
}

void Form1::hintKeysWhileHelpOpen()
{
    showKeysHint();
    statusTimer_->stop();
    connect(helpWindow, &QDialog::finished, this, &Form1::fadeKeysHintSoon, Qt::UniqueConnection);
}

void Form1::fadeKeysHintSoon()
{
    statusTimer_->start(kHintAfterHelpMilliseconds);
}

} // namespace genart
