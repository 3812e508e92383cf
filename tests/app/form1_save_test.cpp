#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/form1.h"
#include "support/modal_dialogs.h"
#include "files/picture_export.h"
#include "files/recipe_file.h"
#include "platform/qt/surface_view.h"
#include "support/library_entries.h"

namespace genart {
namespace {

using testing::answer;
using testing::usePrivateSettings;
using testing::whenOpen;

class SavingFromTheWindow : public ::testing::Test {
protected:
    void SetUp() override { window.Form_Load(); }

    TwisterRandom random;
    FixedClock clock{2026, 7, 8, 9, 10, 11};
    Form1 window{random, clock, 4242u};
    QTemporaryDir dir;
};

TEST_F(SavingFromTheWindow, SavesThePictureOnTheScreenWithItsRecipe)
{
    const QString path = dir.filePath(QStringLiteral("T20260708091011.png"));
    EXPECT_EQ(window.savePicture(path), QString());
    const QImage saved = QImage(path).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(saved, window.picture1Surface().image());
    const auto recipe = readRecipeFile(path.toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(recipe));
    EXPECT_EQ(std::get<Recipe>(recipe), window.session().recipe());

    // Twice the size: the same picture sampled twice as finely.
    const QString poster = dir.filePath(QStringLiteral("poster.png"));
    EXPECT_EQ(window.savePicture(poster, PictureSize::timesNormal(2)), QString());
    const QImage big(poster);
    ASSERT_EQ(big.size(), QSize(1200, 900));
    EXPECT_EQ(big.pixel(200, 100), saved.pixel(100, 50));
}

TEST_F(SavingFromTheWindow, ReportsWhyAndLeavesThePictureAlone)
{
    const QImage before = window.picture1Surface().image().copy();
    const QString path = dir.filePath(QStringLiteral("no/such/folder/picture.png"));
    const QString failure = window.savePicture(path);
    EXPECT_TRUE(failure.contains(path)) << failure.toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(window.picture1Surface().image(), before);
}

TEST_F(SavingFromTheWindow, PostersAreDrawnInTheBackgroundAndCanBeCancelled)
{
    QSignalSpy saved(&window, &Form1::posterSaved);
    const QString poster = dir.filePath(QStringLiteral("poster.png"));
    window.savePosterInBackground(poster, PictureSize::timesNormal(2));
    EXPECT_FALSE(window.saveAction->isEnabled());
    ASSERT_TRUE(saved.wait(60000));
    EXPECT_EQ(saved.at(0).at(1).toString(), QString());
    EXPECT_FALSE(saved.at(0).at(2).toBool());
    EXPECT_TRUE(window.saveAction->isEnabled());
    EXPECT_EQ(QImage(poster).convertToFormat(QImage::Format_RGB32),
              exportPicture(window.session().recipe(), PictureSize::timesNormal(2))->picture.convertToFormat(QImage::Format_RGB32));

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the first poster's dialog
    const QString cancelled = dir.filePath(QStringLiteral("cancelled.png"));
    window.savePosterInBackground(cancelled, PictureSize::timesNormal(16));
    ASSERT_EQ(window.findChildren<QProgressDialog*>().size(), 1);
    auto* cancelButton = window.findChild<QProgressDialog*>()->findChild<QPushButton*>();
    ASSERT_NE(cancelButton, nullptr);
    cancelButton->click();
    ASSERT_TRUE(saved.wait(60000));
    EXPECT_TRUE(saved.at(1).at(2).toBool());
    EXPECT_FALSE(QFile::exists(cancelled));
}

TEST_F(SavingFromTheWindow, OffersSaveAndCopyOnThePicture)
{
    EXPECT_EQ(window.saveAction->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_TRUE(window.Picture1->actions().contains(window.saveAction));
    EXPECT_TRUE(window.Picture1->actions().contains(window.copyAction));
    EXPECT_EQ(window.Picture1->contextMenuPolicy(), Qt::ActionsContextMenu);
    window.copyAction->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              window.picture1Surface().image());
}

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

QComboBox* sizeChoice(QFileDialog* dialog)
{
    return dialog->findChild<QComboBox*>(QStringLiteral("sizeChoice"));
}

TEST_F(SavingFromTheWindow, ProgressSitsAboveThePictureAndTheButtonsStayTheirs)
{
    QSignalSpy saved(&window, &Form1::posterSaved);
    QSignalSpy progress(&window, &Form1::posterProgress);
    const Recipe recipe = window.session().recipe();
    window.Command1->setFocus();
    const QString poster = dir.filePath(QStringLiteral("poster4.png"));
    window.savePosterInBackground(poster, PictureSize::timesNormal(4));

    auto* panel = window.findChild<QProgressDialog*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isWindow());
    EXPECT_TRUE(panel->isVisible());
    ASSERT_EQ(panel->parentWidget(), window.canvas);
    for (QPushButton* button : {window.Command1, window.Command2, window.Command3, window.Command5})
        EXPECT_FALSE(panel->geometry().intersects(button->geometry())) << button->text().toStdString();
    EXPECT_LT(panel->geometry().bottom(), window.Picture1->geometry().top());
    EXPECT_EQ(window.focusWidget(), window.Command1);
    // Its text shows light on the window's black, above the bar.
    const QImage shown = panel->grab().toImage();
    int light = 0;
    for (int y = 0; y < shown.height() / 3; ++y)
        for (int x = 0; x < shown.width(); ++x)
            light += qGray(shown.pixel(x, y)) > 150 ? 1 : 0;
    EXPECT_GT(light, 20);
    EXPECT_EQ(shown.pixel(2, 2), qRgb(0, 0, 0));

    // Clicks and keys meant for the buttons reach them and leave the save alone.
    QTest::mouseClick(window.Command1, Qt::LeftButton);
    QTest::mouseClick(window.Command3, Qt::LeftButton);
    QTest::keyClick(window.Command5, Qt::Key_Space);
    EXPECT_EQ(testing::keptCount(window.library()), 4u);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 120000);
    EXPECT_EQ(saved.at(0).at(1).toString(), QString());
    EXPECT_FALSE(saved.at(0).at(2).toBool());
    // The picture on the screen when the save began, whatever was drawn since.
    EXPECT_EQ(rgb(QImage(poster)), rgb(exportPicture(recipe, PictureSize::timesNormal(4))->picture));

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

    // Where it went, told in the window for a few seconds, no box to close.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window.statusLine->isVisible());
    EXPECT_TRUE(window.statusLine->text().contains(QDir::toNativeSeparators(poster)));
    QTRY_VERIFY_WITH_TIMEOUT(!window.statusLine->isVisible(), 10000);
}

TEST_F(SavingFromTheWindow, TheSaveDialogRemembersItsFolderAndSize)
{
    usePrivateSettings();
    const QString folder = dir.filePath(QStringLiteral("chosen"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QSignalSpy saved(&window, &Form1::posterSaved);

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
    QTest::keyClick(window.Command1, Qt::Key_S, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 60000);
    EXPECT_EQ(QImage(QDir(folder).filePath(QStringLiteral("twice.png"))).size(), QSize(1200, 900));

    // The picture's name is taken there, and its -2 too: the next free name is offered.
    const QString name = QString::fromStdString(window.session().recipe().imeslike);
    for (const QString& taken : {name + QStringLiteral(".png"), name + QStringLiteral("-2.png")}) {
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
    window.saveAction->trigger();
    EXPECT_EQ(openedIn, QDir(folder).absolutePath());
    EXPECT_EQ(offered, QStringLiteral("2x"));
    EXPECT_EQ(QFileInfo(offeredName).fileName(), name + QStringLiteral("-3.png"));
    QStandardPaths::setTestModeEnabled(false);
}

TEST_F(SavingFromTheWindow, TheSaveDialogOffersScreenSizesAFreeSizeAndTheCaption)
{
    usePrivateSettings();
    QSignalSpy saved(&window, &Form1::posterSaved);
    const Recipe recipe = window.session().recipe();

    // A wallpaper: Full HD, no caption, as WebP, which keeps every pixel.
    QStringList offered;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        QComboBox* size = sizeChoice(dialog);
        for (int n = 0; n < size->count(); ++n)
            offered << size->itemData(n).toString();
        size->setCurrentIndex(size->findData(QStringLiteral("1920x1080")));
        dialog->findChild<QCheckBox*>(QStringLiteral("captionChoice"))->setChecked(false);
        dialog->selectFile(dir.filePath(QStringLiteral("wall.webp")));
        static_cast<QDialog*>(dialog)->accept();
    });
    window.saveAction->trigger();
    EXPECT_EQ(offered, (QStringList{"1x", "2x", "4x", "8x", "16x", "screen", "1920x1080", "2560x1440", "3840x2160",
                                    "custom"}));
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 60000);
    EXPECT_EQ(saved.at(0).at(1).toString(), QString());
    EXPECT_EQ(rgb(QImage(dir.filePath(QStringLiteral("wall.webp")))),
              rgb(exportPicture(recipe, PictureSize::covering(1920, 1080), false)->picture));

    // Any width and height, and the caption back on: remembered from last time but the size.
    bool captionRemembered = true;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        captionRemembered = dialog->findChild<QCheckBox*>(QStringLiteral("captionChoice"))->isChecked();
        QComboBox* size = sizeChoice(dialog);
        size->setCurrentIndex(size->findData(QStringLiteral("custom")));
        dialog->findChild<QSpinBox*>(QStringLiteral("customWidth"))->setValue(300);
        dialog->findChild<QSpinBox*>(QStringLiteral("customHeight"))->setValue(500);
        dialog->findChild<QCheckBox*>(QStringLiteral("captionChoice"))->setChecked(true);
        dialog->selectFile(dir.filePath(QStringLiteral("phone.png")));
        static_cast<QDialog*>(dialog)->accept();
    });
    window.saveAction->trigger();
    EXPECT_FALSE(captionRemembered);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 2, 60000);
    const QImage phone = rgb(QImage(dir.filePath(QStringLiteral("phone.png"))));
    EXPECT_EQ(phone.size(), QSize(300, 500));
    EXPECT_EQ(phone, rgb(exportPicture(recipe, PictureSize::covering(300, 500), true)->picture));
    const auto read = readRecipeFile(dir.filePath(QStringLiteral("phone.png")).toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(read));
    EXPECT_EQ(std::get<Recipe>(read), recipe);

    // This screen: as many pixels as it has device pixels.
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        QComboBox* size = sizeChoice(dialog);
        size->setCurrentIndex(size->findData(QStringLiteral("screen")));
        dialog->selectFile(dir.filePath(QStringLiteral("screen.jpg")));
        static_cast<QDialog*>(dialog)->accept();
    });
    window.saveAction->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 3, 60000);
    const QScreen* screen = window.screen();
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("screen.jpg"))).size(), screen->size() * screen->devicePixelRatio());
    QStandardPaths::setTestModeEnabled(false);
}

TEST_F(SavingFromTheWindow, ClosingDuringASaveCanDropIt)
{
    QSignalSpy saved(&window, &Form1::posterSaved);
    const QString poster = dir.filePath(QStringLiteral("dropped.png"));
    window.savePosterInBackground(poster, PictureSize::timesNormal(16)); // long enough to be asked about
    answer(QStringLiteral("Drop it"));
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 60000);
    EXPECT_TRUE(saved.at(0).at(2).toBool());
    EXPECT_FALSE(QFile::exists(poster));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(SavingFromTheWindow, ClosingDuringASaveCanWaitForIt)
{
    QSignalSpy saved(&window, &Form1::posterSaved);
    const QString poster = dir.filePath(QStringLiteral("waited.png"));
    window.savePosterInBackground(poster, PictureSize::timesNormal(8));
    answer(QStringLiteral("Wait"));
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    // Asked again meanwhile, it goes on waiting without asking.
    EXPECT_FALSE(window.close());
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 120000);
    ASSERT_EQ(saved.count(), 1);
    EXPECT_FALSE(saved.at(0).at(2).toBool());
    EXPECT_EQ(QImage(poster).size(), QSize(4800, 3600));
}

} // namespace
} // namespace genart
