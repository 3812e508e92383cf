#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "files/picture_export.h"
#include "platform/qt/surface_view.h"

namespace genart {
namespace {

// Two device pixels to a pixel, as on a high-density screen: set before the test program's
// main makes its application, which reads it once.
const bool kTwiceAsFine = qputenv("QT_SCALE_FACTOR", "2");

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

// What the views paint, in device pixels, is the picture drawn twice as finely from its recipe
// and the strip with each column two device pixels wide.
void expectSharp(Form1& form, const std::string& when)
{
    const QImage picture = rgb(form.Picture1->grab().toImage());
    ASSERT_EQ(picture.size(), QSize(1200, 900)) << when;
    EXPECT_EQ(picture, rgb(exportPicture(form.session().recipe(), PictureSize::timesNormal(2))->picture)) << when;

    const QImage strip = rgb(form.Picture2->grab().toImage());
    const QImage surface = rgb(form.picture2Surface().image());
    ASSERT_EQ(strip.size(), QSize(1202, 66)) << when;
    int differing = 0;
    for (int y = 0; y < strip.height(); ++y)
        for (int x = 0; x < strip.width(); ++x)
            differing += strip.pixel(x, y) != surface.pixel(x / 2, y / 2) ? 1 : 0;
    EXPECT_EQ(differing, 0) << when;
}

TEST(SharpScreens, PictureAndStripAreDrawnAtTheScreensPixelRatio)
{
    ASSERT_TRUE(kTwiceAsFine);
    TwisterRandom random;
    const FixedClock clock(2026, 11, 12, 13, 14, 15);
    Form1 form(random, clock, 77u);
    form.Form_Load();
    ASSERT_EQ(form.devicePixelRatioF(), 2.0);

    expectSharp(form, "start-up");
    // The session still draws the normal sizes, and the layout is the same in pixels.
    EXPECT_EQ(form.picture1Surface().image().size(), QSize(600, 450));
    EXPECT_EQ(form.picture2Surface().image().size(), QSize(601, 33));
    EXPECT_EQ(form.Picture1->geometry(), QRect(32, 80, 600, 450));
    EXPECT_EQ(form.Picture2->geometry(), QRect(32, 552, 601, 33));

    // After change palette the picture keeps the colours of the strip it was drawn from.
    QTest::mouseClick(form.Command3, Qt::LeftButton);
    expectSharp(form, "change palette");
    QTest::mouseClick(form.Command5, Qt::LeftButton);
    expectSharp(form, "new img / new palette");
    form.previousAction->trigger();
    expectSharp(form, "back to change palette's entry");

    // Saved at 1×, the picture is the normal one.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("normal.png"));
    ASSERT_EQ(form.savePicture(path), QString());
    EXPECT_EQ(rgb(QImage(path)), rgb(form.picture1Surface().image()));
}

} // namespace
} // namespace genart
