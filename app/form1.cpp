#include "app/form1.h"

#include <cmath>
#include <iostream>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPalette>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "app/animation_dialog.h"
#include "app/background_save.h"
#include "app/colour_cycling.h"
#include "app/explore_window.h"
#include "app/gallery_window.h"
#include "app/help_window.h"
#include "app/save_dialog.h"
#include "app/share_actions.h"
#include "app/wallpaper_action.h"
#include "limits/limits.h"
#include "opening/shared_recipe.h"
#include "picture_files/still_job.h"
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

QPushButton* makeButton(const char* name, const char* caption, const QRect& geometry, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

SurfaceView* makeView(const char* name, const ImageSurface& surface, const QPoint& at, QWidget* parent)
{
    auto* view = new SurfaceView(surface, parent);
    view->setObjectName(QLatin1String(name));
    view->move(at);
    return view;
}

// The scale a picture is drawn at to be sharp on a screen of `ratio` device pixels to a pixel.
int sharpScale(qreal ratio)
{
    return std::max(1, static_cast<int>(std::ceil(ratio)));
}

} // namespace

Form1::Form1(RandomSource& random, const Clock& clock, std::optional<std::uint32_t> fixedSeed,
             const QString& libraryFile, FileCalls& files)
    : fixedSeed_(fixedSeed), files_(files), random_(random), clock_(clock), shown_(random, clock),
      libraryFile_(libraryFile), library_(openWindowLibrary(libraryFile))
{

    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QStringLiteral(":/genart/genart-256.png"))); // packaging/icons, as installed for the desktop
    resize(312, 213); // the restored size; the window opens maximized
    makeControls();
    cycling_ = new ColourCycling(*picture1View_, *picture2View_, this);
    cycling_->setObjectName(QStringLiteral("colourCycling"));
    share_ = new ShareActions(*this); // opening, pasting and dropping what is shared
    keys_ = keyRows();
    bindKeys(*this, *picture1View_, keys_);
    connect(cycling_, &ColourCycling::runningChanged, action("cycleAction"), &QAction::setChecked);
    wallpaper_ = new WallpaperAction([this] { return recipeShown(); }, action("wallpaperAction"), this);
    connect(wallpaper_, &WallpaperAction::finished, this, [this](const QString& message) { confirm(message); });
    makeStatusLine();
    makePlaceLine();
}

// A save still under way is abandoned with the window: its runner cancels it and waits.
Form1::~Form1()
{
    delete gallery_; // before the library it shows, which goes before the window's children
}

void Form1::makeControls()
{
    // The command buttons are 17 pixels high and 121 wide: their captions need a small face.
    QFont controls = font();
    controls.setPointSize(8);
    setFont(controls);
    QFont commands = controls;
    commands.setPointSize(7);

    // The controls sit on a canvas of their own size; a window smaller than it scrolls.
    auto* scrollArea = new QScrollArea(this);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setFocusPolicy(Qt::NoFocus);
    scrollArea->viewport()->setBackgroundRole(QPalette::Window);
    scrollArea->viewport()->setAutoFillBackground(true);
    canvas_ = new QWidget;
    canvas_->setObjectName(QStringLiteral("canvas"));
    canvas_->setFixedSize(kCanvasWidth, kCanvasHeight);
    canvas_->setAutoFillBackground(true);
    scrollArea->setWidget(canvas_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollArea);

    // Created in tab order.
    picture1View_ = makeView("Picture1", shown_.picture, QPoint(32, 80), canvas_);
    command1_ = makeButton("Command1", "new img / old palette", QRect(648, 448, 121, 17), canvas_);
    command2_ = makeButton("Command2", "exit", QRect(648, 512, 41, 17), canvas_);
    picture2View_ = makeView("Picture2", shown_.strip, QPoint(32, 552), canvas_);
    command3_ = makeButton("Command3", "change palette", QRect(648, 480, 121, 17), canvas_);
    QPushButton* command4 = makeButton("Command4", kBannerText, QRect(32, 616, 601, 25), canvas_);
    command5_ = makeButton("Command5", "new img / new palette", QRect(648, 416, 121, 17), canvas_);
    for (QPushButton* command : {command1_, command2_, command3_, command5_})
        command->setFont(commands);

    setTabOrder(picture1View_, command1_);
    setTabOrder(command1_, command2_);
    setTabOrder(command2_, picture2View_);
    setTabOrder(picture2View_, command3_);
    setTabOrder(command3_, command4);
    setTabOrder(command4, command5_);

    connect(command1_, &QPushButton::clicked, this, [this] { perform(Action::Image); });
    connect(command2_, &QPushButton::clicked, this, &QWidget::close);
    connect(command3_, &QPushButton::clicked, this, [this] { perform(Action::Palette); });
    connect(command5_, &QPushButton::clicked, this, [this] { perform(Action::Both); });
    // Enter presses the focused button as Space does.
    for (QPushButton* button : {command1_, command2_, command3_, command4, command5_})
        button->installEventFilter(this);
}

std::vector<KeyRow> Form1::keyRows()
{
    // In the order the F1 help lists them; menu entries by group.
    return {
        {.name = "newBothKey", .keys = {Qt::Key_N},
         .help = tr("new img / new palette: a new palette strip, then a new picture from it"), .button = command5_},
        {.name = "newImageKey", .keys = {Qt::Key_I},
         .help = tr("new img / old palette: a new picture from the strip on the screen"), .button = command1_},
        {.name = "changePaletteKey", .keys = {Qt::Key_P},
         .help = tr("change palette: a new strip; the picture keeps its colours"), .button = command3_},
        {.name = "exploreAction", .keys = {Qt::Key_E},
         .help = tr("explore: a grid of the pictures the next presses of new img / new palette would draw"),
         .act = [this] { exploreView().showNewPictures(); }, .menuText = tr("Explore new pictures…"), .menuGroup = 5},
        {.name = "variationsAction", .keys = {Qt::Key_V}, .help = tr("variations of the picture shown, from subtle to wild"),
         .act = [this] { exploreView().showVariations(); }, .menuText = tr("Variations of this picture…"),
         .menuGroup = 5},
        {.name = "recolouringsAction", .keys = {Qt::Key_R}, .help = tr("the picture shown in new colours"),
         .act = [this] { exploreView().showRecolourings(); }, .menuText = tr("This picture in new colours…"),
         .menuGroup = 5},
        {.name = "exploreKeys",
         .help = tr("E, V, R as here; Space draws anew what is not locked; a click, Enter or 1 to 9 shows a "
                    "candidate here; Ctrl+click two (or one and the picture shown), then Mix"),
         .keysText = tr("In the explore view")},
        {.name = "previousAction", .keys = {Qt::Key_Left, Qt::ALT | Qt::Key_Left, Qt::Key_Back},
         .help = tr("the previous picture of the library"), .act = [this] { showPrevious(); },
         .menuText = tr("Previous picture"), .menuGroup = 2, .keysText = tr("Left, Alt+Left, mouse back")},
        {.name = "nextAction", .keys = {Qt::Key_Right, Qt::ALT | Qt::Key_Right, Qt::Key_Forward},
         .help = tr("the next picture of the library"), .act = [this] { showNext(); },
         .menuText = tr("Next picture"), .menuGroup = 2, .keysText = tr("Right, Alt+Right, mouse forward")},
        {.name = "favouriteAction", .keys = {Qt::Key_F},
         .help = tr("favourite: mark the picture shown, or unmark it (a star above it)"),
         .act = [this] { toggleFavourite(); }, .menuText = tr("Favourite"), .menuGroup = 2, .checkable = true},
        {.name = "galleryAction", .keys = {Qt::Key_G},
         .help = tr("the gallery: thumbnails of every picture kept, to find one again, export or remove"),
         .act = [this] { showGallery(); }, .menuText = tr("Gallery…"), .menuGroup = 2},
        {.name = "saveAction", .keys = QKeySequence::keyBindings(QKeySequence::Save),
         .help = tr("save the picture shown, with its recipe, as PNG, JPEG or WebP: %1× to %2× the size, a "
                    "screen's size or any width and height, with or without its caption")
                     .arg(std::begin(kOfferedScales)[0])
                     .arg(std::end(kOfferedScales)[-1]),
         .act = [this] { savePictureAs(); }, .menuText = tr("Save picture…"), .menuGroup = 1},
        {.name = "copyAction", .keys = QKeySequence::keyBindings(QKeySequence::Copy),
         .help = tr("copy the picture shown, with its recipe"), .act = [this] { copyPicture(); },
         .menuText = tr("Copy picture"), .menuGroup = 1},
        {.name = "copyCodeAction", .keys = {Qt::CTRL | Qt::SHIFT | Qt::Key_C},
         .help = tr("copy the picture's share code: one line of text that draws it again in any genart"),
         .act = [this] { share_->copyCode(); }, .menuText = tr("Copy code"), .menuGroup = 6},
        {.name = "openAction", .keys = QKeySequence::keyBindings(QKeySequence::Open),
         .help = tr("open a genart picture or recipe file; files can also be dropped on the window"),
         .act = [this] { share_->askWhatToOpen(); }, .menuText = tr("Open…"), .menuGroup = 6},
        {.name = "pasteAction", .keys = QKeySequence::keyBindings(QKeySequence::Paste),
         .help = tr("paste a picture, recipe, share code or file copied in genart or elsewhere"),
         .act = [this] { share_->paste(); }, .menuText = tr("Paste"), .menuGroup = 6},
        {.name = "saveRecipeAction", .help = tr("save the picture's recipe alone, as a .genart text file"),
         .act = [this] { share_->saveRecipeAs(); }, .menuText = tr("Save recipe…"), .menuGroup = 6},
        {.name = "wallpaperAction",
         .help = tr("make the picture shown the desktop's wallpaper, drawn at the screen's size"),
         .act = [this] { wallpaper_->start(); }, .menuText = tr("Set as wallpaper"), .menuGroup = 4},
        {.name = "cycleAction", .keys = {Qt::Key_C},
         .help = tr("cycle colours: the picture's colours flow round its palette; C again shows it still"),
         .act = [this] { toggleColourCycling(); }, .menuText = tr("Cycle colours"), .menuGroup = 3,
         .checkable = true},
        {.name = "saveAnimationAction",
         .help = tr("one turn of the colours as a looping animated WebP, GIF or MP4: up to %1 frames, %2× to "
                    "%3× the size, with or without the caption, or fitted for sharing")
                     .arg(kFrames.highest)
                     .arg(std::begin(kOfferedLoopScales)[0])
                     .arg(std::end(kOfferedLoopScales)[-1]),
         .act = [this] { saveAnimationAs(); }, .menuText = tr("Save animation…"), .menuGroup = 3},
        {.name = "tabKeys", .help = tr("move between the pictures and the buttons"),
         .keysText = tr("Tab, Shift+Tab")},
        {.name = "pressKeys", .help = tr("press the button that has the focus"), .keysText = tr("Enter, Space")},
        {.name = "helpAction", .keys = {Qt::Key_F1}, .help = tr("this help"), .act = [this] { showHelp(); }},
        {.name = "exitKey", .keys = {Qt::CTRL | Qt::Key_Q}, .help = tr("exit"), .button = command2_},
    };
}

QAction* Form1::action(const char* name) const
{
    return findChild<QAction*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

void Form1::makeStatusLine()
{
    statusLine_ = new QLabel(canvas_);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setGeometry(kStatusArea);
    statusLine_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    statusLine_->setWordWrap(true);
    QPalette light = statusLine_->palette();
    light.setColor(QPalette::WindowText, kStatusText);
    statusLine_->setPalette(light);
    auto* opacity = new QGraphicsOpacityEffect(statusLine_);
    statusLine_->setGraphicsEffect(opacity);
    statusLine_->hide();
    statusTimer_ = new QTimer(this);
    statusTimer_->setSingleShot(true);
    statusFade_ = new QPropertyAnimation(opacity, "opacity", this);
    statusFade_->setDuration(kFadeMilliseconds);
    statusFade_->setStartValue(1.0);
    statusFade_->setEndValue(0.0);
    connect(statusTimer_, &QTimer::timeout, statusFade_, [this] { statusFade_->start(); });
    connect(statusFade_, &QPropertyAnimation::finished, statusLine_, &QWidget::hide);
}

void Form1::makePlaceLine()
{
    // At the right of the status band, where the messages on the left never reach.
    constexpr int kPlaceWidth = 150;
    placeLine_ = new QLabel(canvas_);
    placeLine_->setObjectName(QStringLiteral("placeLine"));
    placeLine_->setGeometry(kStatusArea.right() - kPlaceWidth, kStatusArea.top(), kPlaceWidth, kStatusArea.height());
    placeLine_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    placeLine_->setPalette(statusLine_->palette());
    statusLine_->setContentsMargins(0, 0, kPlaceWidth, 0);
    libraryWatch_ = new QTimer(this);
    connect(libraryWatch_, &QTimer::timeout, this, &Form1::watchLibrary);
    libraryWatch_->start(kLibraryWatchMilliseconds);
    updateNavigation();
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
    followScreenScale(); // so the first picture is drawn once, as finely as the screen shows it
    shown_.session.startUp(fixedSeed_ ? *fixedSeed_ : seedFromTimeOfDay());
    record(origins::kStart);
    showSurfaces();
    hintKeysOnFirstStart();
}

void Form1::perform(Action action)
{
    cycling_->stop();
    // A command given on an earlier entry draws from it: that entry is the new one's parent.
    std::vector<std::int64_t> parents;
    if (shownId_)
        parents.push_back(*shownId_);
    shown_.session.perform(action);
    record(origins::kCommand, parents);
    showSurfaces();
}

void Form1::showNewEntry(const HistoryEntry& entry, const std::string& origin, const std::vector<std::int64_t>& parents)
{
    cycling_->stop();
    shown_.session.restore(entry.picture, entry.strip);
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
    Recipe shown = shown_.session.recipe();
    if (cycling_->running())
        shown.cycle = cycling_->shownTurn();
    return shown;
}

PictureJob Form1::shownJob(const QString& path, const PictureSize& size) const
{
    PictureJob job;
    const Recipe recipe = recipeShown();
    // A frame of the colours' cycle is drawn again from its recipe, bit for bit the frame shown.
    if (recipe == shown_.session.recipe())
        job.source = EntrySource{{recipe, shown_.session.palette()}, shown_.picture.image(), shown_.strip.image()};
    else
        job.source = RecipeSource{recipe};
    job.size = size;
    job.path = path.toStdString();
    return job;
}

void Form1::copyPicture()
{
    const PictureJob job = shownJob(QString(), PictureSize());
    QGuiApplication::clipboard()->setMimeData(pictureMimeData(drawStill(job)->picture, recipeShown()));
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
    const QSize screenPixels = screen() ? screen()->size() * screen()->devicePixelRatio() : QSize();
    const auto choice = askWhereToSave(this, QString::fromStdString(recipeShown().imeslike), screenPixels);
    cycling_->resume();
    if (!choice)
        return;
    PictureJob job = shownJob(choice->path, choice->size);
    job.caption = choice->caption;
    startSave(std::move(job));
}

void Form1::saveAnimationAs()
{
    const auto choice = askForAnimation(this, QString::fromStdString(shown_.session.recipe().imeslike));
    if (!choice)
        return;
    PictureJob job = shownJob(choice->path, choice->size);
    job.source = RecipeSource{shown_.session.recipe()}; // a loop starts from the still picture
    job.caption = choice->caption;
    job.loop = choice->loop;
    startSave(std::move(job));
}

void Form1::startSave(PictureJob job)
{
    if (save_)
        return; // one at a time; the save actions are off meanwhile
    action("saveAction")->setEnabled(false);
    action("saveAnimationAction")->setEnabled(false);
    statusLine_->hide();
    job.replace = true; // the dialog has asked before replacing a file
    save_ = new BackgroundSave(std::move(job), canvas_, kStatusArea, files_, this);
    connect(save_, &BackgroundSave::progress, this, &Form1::saveProgress);
    connect(save_, &BackgroundSave::finished, this, [this](const QString& path, const QString& failure, bool cancelled) {
        const bool loop = save_->isLoop();
        const QString chosen = save_->chosen(); // a loop fitted for sharing: what it became
        save_->deleteLater();
        save_ = nullptr;
        action("saveAction")->setEnabled(true);
        action("saveAnimationAction")->setEnabled(true);
        if (!failure.isEmpty())
            QMessageBox::warning(this, loop ? tr("Save animation") : tr("Save picture"),
                                 (loop ? tr("The animation was not saved.\n\n%1") : tr("The picture was not saved.\n\n%1"))
                                     .arg(failure));
        else if (!cancelled)
            confirm(chosen.isEmpty() ? tr("Saved %1").arg(QDir::toNativeSeparators(path))
                                     : tr("Saved %1: %2").arg(QDir::toNativeSeparators(path), chosen));
        emit saved(path, failure, cancelled);
        if (closeWhenSaved_)
            close();
    });
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (helpWindow_)
        helpWindow_->close(); // goes with the window; reopened by F1 should the window stay
    if (exploreWindow_)
        exploreWindow_->close();
    if (gallery_)
        gallery_->close();
    if (!save_) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    if (closeWhenSaved_)
        return;
    const BackgroundSave::OnClose answer = BackgroundSave::askOnClose(this, save_->path(), save_->isLoop());
    if (!save_) {
        event->accept(); // it was written while the question was open
    } else if (answer == BackgroundSave::OnClose::Drop) {
        const QString path = save_->path();
        delete save_; // cancels it and waits for its thread
        save_ = nullptr;
        emit saved(path, QString(), true);
        event->accept();
    } else if (answer == BackgroundSave::OnClose::Wait) {
        closeWhenSaved_ = true;
    }
}

void Form1::confirm(const QString& message)
{
    statusFade_->stop();
    static_cast<QGraphicsOpacityEffect*>(statusLine_->graphicsEffect())->setOpacity(1.0);
    statusLine_->setText(message);
    statusLine_->show();
    statusTimer_->start(kConfirmationMilliseconds);
}

void Form1::showHelp()
{
    if (!helpWindow_)
        helpWindow_ = new HelpWindow(keysHelp(keys_), this);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
    hintKeysWhileHelpOpen();
}

void Form1::toggleColourCycling()
{
    if (cycling_->running()) {
        cycling_->stop();
        showSurfaces();
    } else {
        cycling_->start(shown_.session.recipe(), shown_.session.palette(), sharpScale(devicePixelRatioF()));
    }
}

bool Form1::followScreenScale()
{
    const int scale = sharpScale(devicePixelRatioF());
    if (scale == shown_.session.pictureScale())
        return false;
    shown_.picture = ImageSurface(kPictureWidth * scale, kPictureHeight * scale);
    shown_.session.setPictureScale(scale);
    return true;
}

void Form1::showSurfaces()
{
    // On a screen with more device pixels than pixels the session draws the picture that finely
    // (again, once, when the window moved to such a screen), and the strip's columns are widened,
    // so neither is blurred by scaling.
    if (followScreenScale())
        shown_.session.restore(shown_.session.recipe(), shown_.session.palette());
    const int scale = shown_.session.pictureScale();
    if (scale > 1) {
        QImage columns = shown_.strip.image().scaled(kStripWidth * scale, kStripHeight * scale, Qt::IgnoreAspectRatio,
                                                  Qt::FastTransformation);
        columns.setDevicePixelRatio(scale);
        picture2View_->setSharpImage(columns);
    } else {
        picture2View_->setSharpImage(QImage());
    }
    picture1View_->setSharpImage(QImage());
    picture1View_->update();
    picture2View_->update();
}

// The explore view and the hint that tells of it.

namespace {

const char* const kFirstStartKey = "hints/keysShown";
constexpr int kHintMilliseconds = 9000;
constexpr int kHintAfterHelpMilliseconds = 1500;

} // namespace

ExploreWindow& Form1::exploreView()
{
    if (!exploreWindow_)
        exploreWindow_ = new ExploreWindow(*this, random_, clock_);
    exploreWindow_->show();
    exploreWindow_->raise();
    exploreWindow_->activateWindow();
    return *exploreWindow_;
}

void Form1::showKeysHint()
{
    statusFade_->stop();
    static_cast<QGraphicsOpacityEffect*>(statusLine_->graphicsEffect())->setOpacity(1.0);
    statusLine_->setText(tr("E: many new pictures at once   V: variations of this one   R: this one in new "
                            "colours   F1: help   Right-click the picture for more"));
    statusLine_->show();
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
    connect(helpWindow_, &QDialog::finished, this, &Form1::fadeKeysHintSoon, Qt::UniqueConnection);
}

void Form1::fadeKeysHintSoon()
{
    statusTimer_->start(kHintAfterHelpMilliseconds);
}

} // namespace genart
