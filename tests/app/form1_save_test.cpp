// Saving and copying the picture from the window, through the real dialog and the background
// runner: every size, the progress panel, a full disk and a symbolic link.
#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "app/form1.h"
#include "files/recipe_file.h"
#include "platform/qt/surface_view.h"
#include "support/library_entries.h"
#include "picture_files/picture_at_size.h"
#include "support/faulty_calls.h"
#include "support/file_contents.h"
#include "support/modal_dialogs.h"
#include "support/window_parts.h"
#include "support/window_saves.h"

namespace genart {
namespace {

using testing::action;
using testing::button;
using testing::partOf;
using testing::saveThroughDialog;
using testing::view;
using testing::whenOpen;

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

QComboBox* sizeChoice(QFileDialog* dialog)
{
    return dialog->findChild<QComboBox*>(QStringLiteral("sizeChoice"));
}

class SavingFromTheWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::usePrivateSettings();
        window.Form_Load();
    }
    void TearDown() override { QStandardPaths::setTestModeEnabled(false); }

    // Saves through the dialog and waits until the save is done.
    void save(const QString& path, const QString& size = QStringLiteral("1x"), bool caption = true,
              const std::function<void(QFileDialog*)>& first = {})
    {
        const qsizetype before = saved.count();
        saveThroughDialog(window, path, size, caption, first);
        QTRY_COMPARE_WITH_TIMEOUT(saved.count(), before + 1, 120000);
    }
    QString failureOfLast() const { return saved.last().at(1).toString(); }
    QStringList everything() const { return testing::everything(dir.path()); }

    TwisterRandom random;
    FixedClock clock{2026, 7, 8, 9, 10, 11};
    testing::FaultyCalls files;
    Form1 window{random, clock, 4242u, QString(), files};
    QSignalSpy saved{&window, &Form1::saved};
    QTemporaryDir dir;
};

TEST_F(SavingFromTheWindow, SavesThePictureOnTheScreenWithItsRecipeAtAnySize)
{
    const QString path = dir.filePath(QStringLiteral("T20260708091011.png"));
    save(path);
    EXPECT_EQ(failureOfLast(), QString());
    EXPECT_EQ(rgb(QImage(path)), window.picture1Surface().image());
    const auto recipe = readRecipeFile(path.toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(recipe));
    EXPECT_EQ(std::get<Recipe>(recipe), window.session().recipe());

    // Twice the size: the same picture sampled twice as finely, drawn in the background.
    const QString poster = dir.filePath(QStringLiteral("poster.png"));
    save(poster, QStringLiteral("2x"));
    EXPECT_EQ(rgb(QImage(poster)), rgb(drawPicture(window.session().recipe(), PictureSize::timesNormal(2))->picture));

    // Where it went, told in the window for a few seconds, no box to close.
    auto* statusLine = partOf<QLabel>(window, "statusLine");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(statusLine->isVisible());
    EXPECT_TRUE(statusLine->text().contains(QDir::toNativeSeparators(poster)));
    QTRY_VERIFY_WITH_TIMEOUT(!statusLine->isVisible(), 10000);
}

TEST_F(SavingFromTheWindow, AFullDiskLeavesNothingAndTheWindowSaysWhy)
{
    // The disk fills within the last 16 kB of a 4x poster.
    const QString whole = dir.filePath(QStringLiteral("whole.png"));
    save(whole, QStringLiteral("4x"));
    files.room = static_cast<std::size_t>(QFileInfo(whole).size()) - 8000;
    ASSERT_TRUE(QFile::remove(whole));

    QString told;
    whenOpen<QMessageBox>([&](QMessageBox* box) {
        told = box->text();
        box->accept();
    });
    save(dir.filePath(QStringLiteral("full.png")), QStringLiteral("4x"));
    EXPECT_TRUE(failureOfLast().contains(QStringLiteral("No space left on device"))) << failureOfLast().toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("The picture was not saved."))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("full.png: cannot write: No space left on device"))) << told.toStdString();
    EXPECT_EQ(everything(), QStringList());
}

TEST_F(SavingFromTheWindow, ASymbolicLinkIsReplacedItselfAtEverySize)
{
    // The dialog has asked before replacing: the link goes, the file it pointed to stays.
    for (const QString& size : {QStringLiteral("1x"), QStringLiteral("2x")}) {
        testing::put(dir.filePath(QStringLiteral("target.png")), "mine");
        const QString link = dir.filePath(QStringLiteral("link.png"));
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("target.png")), link));
        save(link, size);
        EXPECT_EQ(failureOfLast(), QString());
        EXPECT_FALSE(QFileInfo(link).isSymLink()) << size.toStdString();
        EXPECT_EQ(testing::contents(dir.filePath(QStringLiteral("target.png"))), "mine") << size.toStdString();
    }
}

TEST_F(SavingFromTheWindow, OffersSaveAndCopyOnThePicture)
{
    EXPECT_EQ(action(window, "saveAction")->shortcut(), QKeySequence(QKeySequence::Save));
    // The picture's menu, group by group, as the key table orders it.
    QStringList menu;
    for (const QAction* entry : view(window, "Picture1")->actions())
        menu << (entry->isSeparator() ? QStringLiteral("-") : entry->objectName());
    EXPECT_EQ(menu, (QStringList{"saveAction", "copyAction", "-", "previousAction", "nextAction", "favouriteAction",
                                 "galleryAction", "-", "cycleAction", "saveAnimationAction", "-", "wallpaperAction", "-",
                                 "exploreAction", "variationsAction", "recolouringsAction", "-", "copyCodeAction",
                                 "openAction", "pasteAction", "saveRecipeAction"}));
    EXPECT_EQ(action(window, "saveAction")->text(), QStringLiteral("Save picture…"));
    EXPECT_EQ(view(window, "Picture1")->contextMenuPolicy(), Qt::ActionsContextMenu);
    action(window, "copyAction")->trigger();
    EXPECT_EQ(rgb(QGuiApplication::clipboard()->image()), window.picture1Surface().image());
}

TEST_F(SavingFromTheWindow, ProgressSitsAboveThePictureAndTheButtonsStayTheirs)
{
    QSignalSpy progress(&window, &Form1::saveProgress);
    const Recipe recipe = window.session().recipe();
    button(window, "Command1")->setFocus();
    const QString poster = dir.filePath(QStringLiteral("poster4.png"));
    saveThroughDialog(window, poster, QStringLiteral("4x"));

    auto* panel = window.findChild<QProgressDialog*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isWindow());
    EXPECT_TRUE(panel->isVisible());
    ASSERT_EQ(panel->parentWidget(), partOf<QWidget>(window, "canvas"));
    for (const char* name : {"Command1", "Command2", "Command3", "Command5"})
        EXPECT_FALSE(panel->geometry().intersects(button(window, name)->geometry())) << name;
    EXPECT_LT(panel->geometry().bottom(), view(window, "Picture1")->geometry().top());
    EXPECT_EQ(window.focusWidget(), button(window, "Command1"));
    // Its text shows light on the window's black, above the bar.
    const QImage shown = panel->grab().toImage();
    int light = 0;
    for (int y = 0; y < shown.height() / 3; ++y)
        for (int x = 0; x < shown.width(); ++x)
            light += qGray(shown.pixel(x, y)) > 150 ? 1 : 0;
    EXPECT_GT(light, 20);
    EXPECT_EQ(shown.pixel(2, 2), qRgb(0, 0, 0));

    // Clicks and keys meant for the buttons reach them and leave the save alone.
    QTest::mouseClick(button(window, "Command1"), Qt::LeftButton);
    QTest::mouseClick(button(window, "Command3"), Qt::LeftButton);
    QTest::keyClick(button(window, "Command5"), Qt::Key_Space);
    EXPECT_EQ(testing::keptCount(window.library()), 4u);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 120000);
    EXPECT_EQ(failureOfLast(), QString());
    EXPECT_FALSE(saved.at(0).at(2).toBool());
    // The picture on the screen when the save began, whatever was drawn since.
    EXPECT_EQ(rgb(QImage(poster)), rgb(drawPicture(recipe, PictureSize::timesNormal(4))->picture));

    // Drawing, encoding and writing each moved the bar, which never went back.
    int last = -1;
    QStringList stages;
    for (const QList<QVariant>& step : progress) {
        EXPECT_GE(step.at(0).toInt(), last);
        last = step.at(0).toInt();
        const QString stage = step.at(1).toString().section(QLatin1Char(' '), 0, 0);
        if (!stages.contains(stage))
            stages.append(stage);
    }
    EXPECT_EQ(last, 100);
    EXPECT_EQ(stages, (QStringList{QStringLiteral("Drawing"), QStringLiteral("Encoding"), QStringLiteral("Writing")}));
}

TEST_F(SavingFromTheWindow, ASaveCanBeCancelledFromItsPanel)
{
    const QString cancelled = dir.filePath(QStringLiteral("cancelled.png"));
    saveThroughDialog(window, cancelled, QStringLiteral("16x"));
    auto* panel = window.findChild<QProgressDialog*>();
    ASSERT_NE(panel, nullptr);
    QTest::mouseClick(panel->findChild<QPushButton*>(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 60000);
    EXPECT_TRUE(saved.at(0).at(2).toBool());
    EXPECT_EQ(everything(), QStringList());
}

TEST_F(SavingFromTheWindow, TheSaveDialogRemembersItsFolderAndSize)
{
    const QString folder = dir.filePath(QStringLiteral("chosen"));
    ASSERT_TRUE(QDir().mkpath(folder));

    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(sizeChoice(dialog)->currentData().toString(), QStringLiteral("1x")); // nothing remembered yet
        EXPECT_TRUE(dialog->selectedFiles().value(0).endsWith(
            QString::fromStdString(window.session().recipe().imeslike) + QStringLiteral(".png")));
        sizeChoice(dialog)->setCurrentIndex(1); // 2×
        dialog->selectFile(QDir(folder).filePath(QStringLiteral("twice.png")));
        static_cast<QDialog*>(dialog)->accept(); // as its Save button does
    });
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(button(window, "Command1"), Qt::Key_S, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 60000);
    EXPECT_EQ(QImage(QDir(folder).filePath(QStringLiteral("twice.png"))).size(), QSize(1200, 900));

    // The picture's name is taken there, and its -2 too: the next free name is offered.
    const QString name = QString::fromStdString(window.session().recipe().imeslike);
    for (const QString& taken : QStringList{name + QStringLiteral(".png"), name + QStringLiteral("-2.png")}) {
        QFile file(QDir(folder).filePath(taken));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString openedIn;
    QString offered;
    QString offeredName;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        openedIn = dialog->directory().absolutePath();
        offered = sizeChoice(dialog)->currentData().toString();
        offeredName = dialog->selectedFiles().value(0);
        dialog->reject();
    });
    action(window, "saveAction")->trigger();
    EXPECT_EQ(openedIn, QDir(folder).absolutePath());
    EXPECT_EQ(offered, QStringLiteral("2x"));
    EXPECT_EQ(QFileInfo(offeredName).fileName(), name + QStringLiteral("-3.png"));
    QStandardPaths::setTestModeEnabled(false);
}

TEST_F(SavingFromTheWindow, TheSaveDialogOffersScreenSizesAFreeSizeAndTheCaption)
{
    const Recipe recipe = window.session().recipe();

    // A wallpaper: Full HD, no caption, as WebP, which keeps every pixel.
    QStringList offered;
    save(dir.filePath(QStringLiteral("wall.webp")), QStringLiteral("1920x1080"), false, [&](QFileDialog* dialog) {
        QComboBox* size = sizeChoice(dialog);
        for (int n = 0; n < size->count(); ++n)
            offered << size->itemData(n).toString();
    });
    EXPECT_EQ(offered, (QStringList{"1x", "2x", "4x", "8x", "16x", "screen", "1920x1080", "2560x1440", "3840x2160",
                                    "custom"}));
    EXPECT_EQ(failureOfLast(), QString());
    EXPECT_EQ(rgb(QImage(dir.filePath(QStringLiteral("wall.webp")))),
              rgb(drawPicture(recipe, PictureSize::covering(1920, 1080), false)->picture));

    // Any width and height, and the caption back on: remembered from last time but the size.
    bool captionRemembered = true;
    save(dir.filePath(QStringLiteral("phone.png")), QStringLiteral("custom"), true, [&](QFileDialog* dialog) {
        captionRemembered = dialog->findChild<QCheckBox*>(QStringLiteral("captionChoice"))->isChecked();
        dialog->findChild<QSpinBox*>(QStringLiteral("customWidth"))->setValue(300);
        dialog->findChild<QSpinBox*>(QStringLiteral("customHeight"))->setValue(500);
    });
    EXPECT_FALSE(captionRemembered);
    const QImage phone = rgb(QImage(dir.filePath(QStringLiteral("phone.png"))));
    EXPECT_EQ(phone, rgb(drawPicture(recipe, PictureSize::covering(300, 500), true)->picture));
    const auto read = readRecipeFile(dir.filePath(QStringLiteral("phone.png")).toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(read));
    EXPECT_EQ(std::get<Recipe>(read), recipe);

    // This screen: as many pixels as it has device pixels.
    save(dir.filePath(QStringLiteral("screen.jpg")), QStringLiteral("screen"));
    const QScreen* screen = window.screen();
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("screen.jpg"))).size(), screen->size() * screen->devicePixelRatio());
}

} // namespace
} // namespace genart
