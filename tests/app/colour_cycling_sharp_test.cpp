// Colour cycling on a screen with two device pixels to a pixel: the frames are as sharp as the
// still picture there.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "app/colour_cycling.h"
#include "app/form1.h"
#include "palette/palette_turn.h"
#include "platform/qt/surface_view.h"
#include "support/window_parts.h"

namespace genart {
namespace {

using testing::view;
using testing::cyclingOf;

// Set before the test program's main makes its application, which reads it once.
const bool kTwiceAsFine = qputenv("QT_SCALE_FACTOR", "2");

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

TEST(SharpColourCycling, FramesAreDrawnAtTheScreensPixelRatio)
{
    ASSERT_TRUE(kTwiceAsFine);
    TwisterRandom random;
    const FixedClock clock(2026, 11, 12, 13, 14, 15);
    Form1 form(random, clock, 77u);
    form.Form_Load();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_EQ(form.devicePixelRatioF(), 2.0);
    const QImage sharpStill = rgb(view(form, "Picture1")->grab().toImage());
    ASSERT_EQ(sharpStill.size(), QSize(1200, 900));

    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &form, Qt::Key_C);
    QSignalSpy frames(&cyclingOf(form), &ColourCycling::frameShown);
    ASSERT_TRUE(frames.wait(2000));
    const int step = cyclingOf(form).shownStep();

    ImageSurface picture(1200, 900);
    ImageSurface strip(kStripWidth, kStripHeight);
    CyclingPicture cycling;
    cycling.draw(form.session().recipe(), picture, strip, 2);
    cycling.paintFrame(step, kTurnMilliseconds, picture, strip);
    EXPECT_EQ(rgb(view(form, "Picture1")->grab().toImage()), rgb(picture.image()));
    const QImage shownStrip = rgb(view(form, "Picture2")->grab().toImage());
    ASSERT_EQ(shownStrip.size(), QSize(1202, 66));
    EXPECT_EQ(shownStrip, rgb(cyclingOf(form).shownStrip().scaled(1202, 66)));

    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &form, Qt::Key_C);
    EXPECT_EQ(rgb(view(form, "Picture1")->grab().toImage()), sharpStill);
}

} // namespace
} // namespace genart
