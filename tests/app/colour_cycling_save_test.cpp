// Saving while the colours cycle on a screen with three device pixels to a pixel: a save at the
// size the window shows writes exactly the frame it shows.
#include <QApplication>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/colour_cycling.h"
#include "app/form1.h"
#include "platform/qt/surface_view.h"
#include "support/modal_dialogs.h"

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
    form.cycleAction->trigger();
    QSignalSpy frames(&form.colourCycling(), &ColourCycling::frameShown);
    ASSERT_TRUE(frames.wait(2000));
    const QImage onScreen = rgb(form.Picture1->grab().toImage());
    ASSERT_EQ(onScreen.size(), QSize(1800, 1350));

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("frame.png"));
    ASSERT_EQ(form.savePicture(path, PictureSize::timesNormal(3)), QString());
    EXPECT_EQ(rgb(QImage(path)), onScreen);
    QStandardPaths::setTestModeEnabled(false);
}

} // namespace
} // namespace genart
