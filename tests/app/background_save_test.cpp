// Saves in the background from the window: "Save animation…"'s dialog, the one progress panel
// and closing the window while a save of either kind runs.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "support/decoded_webp.h"
#include "support/file_contents.h"
#include "support/modal_dialogs.h"
#include "support/window_parts.h"
#include "support/window_saves.h"

namespace genart {
namespace {

using testing::action;
using testing::answer;
using testing::whenOpen;

class SavingInTheBackground : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::usePrivateSettings();
        window.Form_Load();
    }
    void TearDown() override { QStandardPaths::setTestModeEnabled(false); }

    QStringList everything() const { return testing::everything(dir.path()); }

    TwisterRandom random;
    FixedClock clock{2026, 7, 8, 9, 10, 11};
    Form1 window{random, clock, 99u};
    QTemporaryDir dir;
};

TEST_F(SavingInTheBackground, TheAnimationDialogAsksForFramesSpeedAndSizeAndRemembersThem)
{
    QSignalSpy saved(&window, &Form1::saved);
    const QString path = dir.filePath(QStringLiteral("loop.webp"));
    QString offeredName;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        offeredName = dialog->selectedFiles().value(0).section(QLatin1Char('/'), -1);
        dialog->findChild<QSpinBox*>(QStringLiteral("animationFrames"))->setValue(5);
        dialog->findChild<QSpinBox*>(QStringLiteral("animationFps"))->setValue(10);
        auto* size = dialog->findChild<QComboBox*>(QStringLiteral("animationSize"));
        size->setCurrentIndex(size->findData(2));
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    action(window, "saveAnimationAction")->trigger();
    EXPECT_EQ(offeredName, QStringLiteral("T20260708091011.webp"));
    ASSERT_TRUE(saved.wait(60000));
    EXPECT_EQ(saved.at(0).at(1).toString(), QString());
    const testing::DecodedWebp loop = testing::decodeWebp(testing::contents(path));
    ASSERT_EQ(loop.frames.size(), 5u);
    EXPECT_EQ(loop.frames[0].size(), QSize(1200, 900));
    EXPECT_EQ(loop.timestamps.back(), 500);

    // Opened again, the dialog offers the same choices, within the limits.
    whenOpen<QFileDialog>([](QFileDialog* dialog) {
        auto* frames = dialog->findChild<QSpinBox*>(QStringLiteral("animationFrames"));
        EXPECT_EQ(frames->value(), 5);
        EXPECT_EQ(frames->maximum(), kFrames.highest);
        EXPECT_EQ(dialog->findChild<QSpinBox*>(QStringLiteral("animationFps"))->value(), 10);
        EXPECT_EQ(dialog->findChild<QComboBox*>(QStringLiteral("animationSize"))->currentData().toInt(), 2);
        static_cast<QDialog*>(dialog)->reject();
    });
    action(window, "saveAnimationAction")->trigger();
    EXPECT_TRUE(action(window, "saveAction")->isEnabled());
}

TEST_F(SavingInTheBackground, OneSaveAtATimeWithOnePanel)
{
    QSignalSpy saved(&window, &Form1::saved);
    testing::saveThroughDialog(window, dir.filePath(QStringLiteral("poster.png")), QStringLiteral("8x"));
    EXPECT_FALSE(action(window, "saveAction")->isEnabled());
    EXPECT_FALSE(action(window, "saveAnimationAction")->isEnabled());
    EXPECT_EQ(window.findChildren<QProgressDialog*>().size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 120000);
    EXPECT_TRUE(action(window, "saveAction")->isEnabled());
    EXPECT_TRUE(action(window, "saveAnimationAction")->isEnabled());
    QTRY_COMPARE(window.findChildren<QProgressDialog*>().size(), 0);
}

TEST_F(SavingInTheBackground, ClosingDuringASaveCanDropIt)
{
    for (const bool loop : {false, true}) {
        Form1 closing(random, clock, 5u);
        closing.Form_Load();
        QSignalSpy saved(&closing, &Form1::saved);
        if (loop)
            testing::saveLoopThroughDialog(closing, dir.filePath(QStringLiteral("dropped.webp")), 400, 30, 2);
        else // long enough to be asked about
            testing::saveThroughDialog(closing, dir.filePath(QStringLiteral("dropped.png")), QStringLiteral("16x"));
        QString asked;
        whenOpen<QMessageBox>([&](QMessageBox* box) { asked = box->text(); });
        answer(QStringLiteral("Drop it"));
        EXPECT_TRUE(closing.close());
        EXPECT_FALSE(closing.isVisible());
        EXPECT_TRUE(asked.startsWith(loop ? QStringLiteral("An animation") : QStringLiteral("A picture")))
            << asked.toStdString();
        ASSERT_EQ(saved.count(), 1);
        EXPECT_TRUE(saved.at(0).at(2).toBool());
        EXPECT_EQ(everything(), QStringList());
    }
}

TEST_F(SavingInTheBackground, ClosingDuringASaveCanWaitForIt)
{
    QSignalSpy saved(&window, &Form1::saved);
    const QString path = dir.filePath(QStringLiteral("waited.mp4"));
    testing::saveLoopThroughDialog(window, path, 30, 30);
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
