// Saving while the colours cycle on a screen with three device pixels to a pixel: a save at the
// size the window shows writes exactly the frame it shows.
#include <QApplication>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/colour_cycling.h"
#include "app/form1.h"
#include "platform/qt/surface_view.h"
#include "support/window_parts.h"
#include "support/modal_dialogs.h"
#include "support/window_saves.h"

namespace genart {
namespace {

// Set before the test program's main makes its application, which reads it once.
const bool kThreeTimesAsFine = qputenv("QT_SCALE_FACTOR", "3");

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

TEST(SavingWhileCycling, APictureSavedAtTheScreensSizeIsTheFrameShown)
{
    ASSERT_TRUE(kThreeTimesAsFine);
    testing::usePrivateSettings();
    TwisterRandom random;
    const FixedClock clock(2026, 11, 12, 13, 14, 15);
    Form1 form(random, clock, 78u);
    form.Form_Load();
    ASSERT_EQ(form.devicePixelRatioF(), 3.0);
    testing::action(form, "cycleAction")->trigger();
    QSignalSpy frames(&testing::cyclingOf(form), &ColourCycling::frameShown);
    ASSERT_TRUE(frames.wait(2000));

    // The frame on the screen stays there while the dialog is open, and it is the one saved.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("frame.png"));
    QImage onScreen;
    QSignalSpy saved(&form, &Form1::saved);
    testing::saveThroughDialog(form, path, QStringLiteral("custom"), true, [&](QFileDialog* dialog) {
        onScreen = rgb(testing::view(form, "Picture1")->grab().toImage());
        dialog->findChild<QSpinBox*>(QStringLiteral("customWidth"))->setValue(1800);
        dialog->findChild<QSpinBox*>(QStringLiteral("customHeight"))->setValue(1350);
    });
    ASSERT_TRUE(saved.count() > 0 || saved.wait(20000));
    EXPECT_EQ(saved.first().at(1).toString(), QString());
    ASSERT_EQ(onScreen.size(), QSize(1800, 1350));
    EXPECT_EQ(rgb(QImage(path)), onScreen);
    QStandardPaths::setTestModeEnabled(false);
}

} // namespace
} // namespace genart
