// "Save animation…" from the window: its dialog, and closing the window while one is saved.
#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
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
#include "support/decoded_webp.h"
#include "support/file_contents.h"

namespace genart {
namespace {

// Modal dialogs run their own loop: what a test does in one is set up before it opens.
template <typename Dialog>
void whenOpen(std::function<void(Dialog*)> act)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        act(dialog);
    });
    poll->start(5);
}

void answer(const QString& button)
{
    whenOpen<QMessageBox>([button](QMessageBox* box) {
        for (QAbstractButton* choice : box->buttons())
            if (choice->text() == button)
                return choice->click();
        ADD_FAILURE() << "no button " << button.toStdString();
        box->reject();
    });
}

class SavingAnAnimation : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Settings of this test's own, apart from the user's and other tests'.
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(
            QStringLiteral("genart-tests-")
            + QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        QSettings().clear();
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
