// "Save animation…" from the window: its dialog, and closing the window while one is saved.
#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/animation_save.h"
#include "app/form1.h"
#include "files/picture_export.h"
#include "support/modal_dialogs.h"
#include "support/decoded_webp.h"
#include "support/file_contents.h"

namespace genart {
namespace {

using testing::answer;
using testing::usePrivateSettings;
using testing::whenOpen;

class SavingAnAnimation : public ::testing::Test {
protected:
    void SetUp() override
    {
        usePrivateSettings();
        window.Form_Load();
    }
    void TearDown() override { QStandardPaths::setTestModeEnabled(false); }

    TwisterRandom random;
    FixedClock clock{2026, 7, 8, 9, 10, 11};
    Form1 window{random, clock, 99u};
    QTemporaryDir dir;
};

TEST_F(SavingAnAnimation, TheDialogAsksForFramesSpeedAndSizeAndRemembersThem)
{
    QSignalSpy saved(&window, &Form1::animationSaved);
    const QString path = dir.filePath(QStringLiteral("loop.webp"));
    const auto fill = [&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->selectedFiles().value(0).section(QLatin1Char('/'), -1), QStringLiteral("T20260708091011.webp"));
        dialog->findChild<QSpinBox*>(QStringLiteral("animationFrames"))->setValue(5);
        dialog->findChild<QSpinBox*>(QStringLiteral("animationFps"))->setValue(10);
        auto* size = dialog->findChild<QComboBox*>(QStringLiteral("animationSize"));
        size->setCurrentIndex(size->findData(2));
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    };
    whenOpen<QFileDialog>(fill);
    window.saveAnimationAction->trigger();
    ASSERT_TRUE(saved.wait(60000));
    EXPECT_EQ(saved.at(0).at(1).toString(), QString());
    const testing::DecodedWebp loop = testing::decodeWebp(testing::contents(path));
    ASSERT_EQ(loop.frames.size(), 5u);
    EXPECT_EQ(loop.frames[0].size(), QSize(1200, 900));
    EXPECT_EQ(loop.timestamps.back(), 500);

    // Opened again, the dialog offers the same choices.
    whenOpen<QFileDialog>([](QFileDialog* dialog) {
        EXPECT_EQ(dialog->findChild<QSpinBox*>(QStringLiteral("animationFrames"))->value(), 5);
        EXPECT_EQ(dialog->findChild<QSpinBox*>(QStringLiteral("animationFps"))->value(), 10);
        EXPECT_EQ(dialog->findChild<QComboBox*>(QStringLiteral("animationSize"))->currentData().toInt(), 2);
        static_cast<QDialog*>(dialog)->reject();
    });
    window.saveAnimationAction->trigger();
    EXPECT_FALSE(window.savingAnimation());
}

TEST_F(SavingAnAnimation, TheDialogShowsTheLoopsLengthOffersTheCaptionAndEstimatesTheFile)
{
    QSignalSpy saved(&window, &Form1::animationSaved);
    const QString path = dir.filePath(QStringLiteral("plain.webp"));
    QStringList estimates;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        auto* frames = dialog->findChild<QSpinBox*>(QStringLiteral("animationFrames"));
        auto* fps = dialog->findChild<QSpinBox*>(QStringLiteral("animationFps"));
        const auto length = [dialog] { return dialog->findChild<QLabel*>(QStringLiteral("animationLength"))->text(); };
        const auto estimate = [dialog] { return dialog->findChild<QLabel*>(QStringLiteral("animationEstimate"))->text(); };
        // Nothing remembered: one turn in the window's time.
        EXPECT_EQ(frames->value(), 300);
        EXPECT_TRUE(length().contains(QStringLiteral("10.0 s, one turn of the colours as the window shows it")))
            << length().toStdString();
        fps->setValue(20); // the loop keeps the window's time
        EXPECT_EQ(frames->value(), 200);
        frames->setValue(50);
        EXPECT_TRUE(length().contains(QStringLiteral("2.5 s"))) << length().toStdString();
        EXPECT_FALSE(length().contains(QStringLiteral("window")));
        estimates << estimate();
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QTest::keyClick(types, Qt::Key_Down); // GIF: no more than 50 frames a second
        EXPECT_EQ(fps->maximum(), 50);
        QTest::keyClick(types, Qt::Key_Down); // MP4, much smaller than lossless WebP
        estimates << estimate();
        QTest::keyClick(types, Qt::Key_Up);
        QTest::keyClick(types, Qt::Key_Up);
        auto* caption = dialog->findChild<QCheckBox*>(QStringLiteral("animationCaption"));
        EXPECT_TRUE(caption->isChecked());
        caption->setChecked(false);
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    window.saveAnimationAction->trigger();
    ASSERT_TRUE(saved.wait(60000));
    ASSERT_EQ(estimates.size(), 2);
    EXPECT_TRUE(estimates[0].startsWith(QStringLiteral("File: about "))) << estimates[0].toStdString();
    EXPECT_NE(estimates[0], estimates[1]);
    const testing::DecodedWebp loop = testing::decodeWebp(testing::contents(path));
    ASSERT_EQ(loop.frames.size(), 50u);
    EXPECT_EQ(loop.timestamps.back(), 2500);
    EXPECT_EQ(loop.frames[0], exportPicture(window.session().recipe(), {}, false)->picture);

    // Remembered, and "fit for sharing" writes a loop within the budget and says what it chose.
    const QString shared = dir.filePath(QStringLiteral("shared.gif"));
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_FALSE(dialog->findChild<QCheckBox*>(QStringLiteral("animationCaption"))->isChecked());
        dialog->findChild<QSpinBox*>(QStringLiteral("animationFrames"))->setValue(20);
        dialog->findChild<QCheckBox*>(QStringLiteral("animationShare"))->setChecked(true);
        QTest::keyClick(dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")), Qt::Key_Down);
        dialog->selectFile(shared);
        static_cast<QDialog*>(dialog)->accept();
    });
    window.saveAnimationAction->trigger();
    ASSERT_TRUE(saved.wait(60000));
    EXPECT_EQ(saved.at(1).at(1).toString(), QString());
    const QByteArray gif = testing::contents(shared);
    EXPECT_EQ(gif.left(6), "GIF89a");
    EXPECT_LE(gif.size(), 5'000'000);
    EXPECT_TRUE(window.statusLine->text().contains(QStringLiteral("GIF, 600 × 450, 20 frames")))
        << window.statusLine->text().toStdString();
}

TEST_F(SavingAnAnimation, ClosingDuringASaveCanDropIt)
{
    QSignalSpy saved(&window, &Form1::animationSaved);
    window.saveAnimationInBackground({dir.filePath(QStringLiteral("dropped.webp")), {400, 30, PictureSize::timesNormal(2), true}});
    answer(QStringLiteral("Drop it"));
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(saved.count(), 1);
    EXPECT_TRUE(saved.at(0).at(2).toBool());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(SavingAnAnimation, ClosingDuringASaveCanWaitForIt)
{
    QSignalSpy saved(&window, &Form1::animationSaved);
    const QString path = dir.filePath(QStringLiteral("waited.mp4"));
    window.saveAnimationInBackground({path, {30, 30, PictureSize::timesNormal(1), true}});
    answer(QStringLiteral("Wait"));
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.close()); // asked again meanwhile, it goes on waiting without asking
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 120000);
    ASSERT_EQ(saved.count(), 1);
    EXPECT_FALSE(saved.at(0).at(2).toBool());
    EXPECT_EQ(testing::contents(path).mid(4, 4), "ftyp");
}

} // namespace
} // namespace genart
