#include <QAction>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "picture_files/picture_at_size.h"
#include "platform/qt/surface_view.h"
#include "support/window_parts.h"
#include "support/window_saves.h"
#include "support/image_session.h"

namespace genart {
namespace {

using testing::button;
using testing::view;
using testing::action;

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
    const QImage picture = rgb(view(form, "Picture1")->grab().toImage());
    ASSERT_EQ(picture.size(), QSize(1200, 900)) << when;
    EXPECT_EQ(picture, rgb(drawPicture(form.session().recipe(), PictureSize::timesNormal(2))->picture)) << when;
    EXPECT_EQ(picture, rgb(form.picture1Surface().image())) << when; // drawn there, once

    const QImage strip = rgb(view(form, "Picture2")->grab().toImage());
    const QImage surface = rgb(form.picture2Surface().image());
    ASSERT_EQ(strip.size(), QSize(1202, 66)) << when;
    int differing = 0;
    for (int y = 0; y < strip.height(); ++y)
        for (int x = 0; x < strip.width(); ++x)
            differing += strip.pixel(x, y) != surface.pixel(x / 2, y / 2) ? 1 : 0;
    EXPECT_EQ(differing, 0) << when;
}

TEST(SharpScreens, ThePictureIsDrawnOnceAtTheScreensPixelRatioAndTheSessionGoesOnAsAtTheNormalSize)
{
    ASSERT_TRUE(kTwiceAsFine);
    testing::usePrivateSettings();
    TwisterRandom random;
    const FixedClock clock(2026, 11, 12, 13, 14, 15);
    Form1 form(random, clock, 77u);
    form.Form_Load();
    ASSERT_EQ(form.devicePixelRatioF(), 2.0);

    expectSharp(form, "start-up");
    // The picture's surface is twice the size; the layout is the same in pixels.
    EXPECT_EQ(form.picture1Surface().image().size(), QSize(1200, 900));
    EXPECT_EQ(form.picture2Surface().image().size(), QSize(601, 33));
    EXPECT_EQ(view(form, "Picture1")->geometry(), QRect(32, 80, 600, 450));
    EXPECT_EQ(view(form, "Picture2")->geometry(), QRect(32, 552, 601, 33));

    // After change palette the picture keeps the colours of the strip it was drawn from.
    QTest::mouseClick(button(form, "Command3"), Qt::LeftButton);
    expectSharp(form, "change palette");
    QTest::mouseClick(button(form, "Command5"), Qt::LeftButton);
    expectSharp(form, "new img / new palette");
    QTest::mouseClick(button(form, "Command1"), Qt::LeftButton);
    expectSharp(form, "new img / old palette");
    // The same pictures as a session at the normal size draws: its state went on as there.
    const testing::ImageSession normal(77, {Action::Palette, Action::Both, Action::Image},
                                       std::make_shared<FixedClock>(clock));
    EXPECT_EQ(form.session().recipe(), normal.session.recipe());
    action(form, "previousAction")->trigger();
    expectSharp(form, "back to new img / new palette's entry");

    // Saved at 1×, the picture is the normal one; at 2× the one on the screen.
    QTemporaryDir dir;
    QSignalSpy saved(&form, &Form1::saved);
    testing::saveThroughDialog(form, dir.filePath(QStringLiteral("normal.png")));
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 60000);
    EXPECT_EQ(rgb(QImage(dir.filePath(QStringLiteral("normal.png")))),
              rgb(drawPicture(form.session().recipe(), PictureSize())->picture));
    testing::saveThroughDialog(form, dir.filePath(QStringLiteral("twice.png")), QStringLiteral("2x"));
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 2, 60000);
    EXPECT_EQ(rgb(QImage(dir.filePath(QStringLiteral("twice.png")))), rgb(form.picture1Surface().image()));
    QStandardPaths::setTestModeEnabled(false);
}

} // namespace
} // namespace genart
