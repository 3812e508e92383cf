#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "app/form1.h"
#include "files/picture_export.h"
#include "files/recipe_file.h"
#include "platform/qt/surface_view.h"

namespace genart {
namespace {

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
    EXPECT_EQ(window.savePicture(path, 1), QString());
    const QImage saved = QImage(path).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(saved, window.picture1Surface().image());
    const auto recipe = readRecipeFile(path.toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(recipe));
    EXPECT_EQ(std::get<Recipe>(recipe), window.session().recipe());

    // Twice the size: the same picture sampled twice as finely.
    const QString poster = dir.filePath(QStringLiteral("poster.png"));
    EXPECT_EQ(window.savePicture(poster, 2), QString());
    const QImage big(poster);
    ASSERT_EQ(big.size(), QSize(1200, 900));
    EXPECT_EQ(big.pixel(200, 100), saved.pixel(100, 50));
}

TEST_F(SavingFromTheWindow, ReportsWhyAndLeavesThePictureAlone)
{
    const QImage before = window.picture1Surface().image().copy();
    const QString path = dir.filePath(QStringLiteral("no/such/folder/picture.png"));
    const QString failure = window.savePicture(path, 1);
    EXPECT_TRUE(failure.contains(path)) << failure.toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(window.picture1Surface().image(), before);
}

TEST_F(SavingFromTheWindow, PostersAreDrawnInTheBackgroundAndCanBeCancelled)
{
    QSignalSpy saved(&window, &Form1::posterSaved);
    const QString poster = dir.filePath(QStringLiteral("poster.png"));
    window.savePosterInBackground(poster, 2);
    EXPECT_FALSE(window.saveAction->isEnabled());
    ASSERT_TRUE(saved.wait(60000));
    EXPECT_EQ(saved.at(0).at(1).toString(), QString());
    EXPECT_FALSE(saved.at(0).at(2).toBool());
    EXPECT_TRUE(window.saveAction->isEnabled());
    EXPECT_EQ(QImage(poster).convertToFormat(QImage::Format_RGB32),
              exportPicture(window.session().recipe(), 2)->picture.convertToFormat(QImage::Format_RGB32));

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the first poster's dialog
    const QString cancelled = dir.filePath(QStringLiteral("cancelled.png"));
    window.savePosterInBackground(cancelled, 16);
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

} // namespace
} // namespace genart
