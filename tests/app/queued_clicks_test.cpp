#include <gtest/gtest.h>

#include <array>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPushButton>

#include "app/form1.h"
#include "platform/qt/image_surface.h"
#include "support/window_parts.h"

namespace genart {
namespace {

using testing::button;

void postClick(QPushButton* button)
{
    const QPointF centre(button->width() / 2.0, button->height() / 2.0);
    const QPointF global = button->mapToGlobal(centre);
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, centre, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
}

// A burst of clicks queued while pictures are drawn is handled afterwards, every one, in order.
TEST(QueuedClicks, HundredClicksAreAllHandledInOrder)
{
    TwisterRandom random;
    const FixedClock clock(2026, 2, 3, 4, 5, 6);
    Form1 window(random, clock, 99u);
    window.Form_Load();

    // The same presses, made one after the other on a session of its own.
    TwisterRandom expectedRandom(99);
    ImageSurface picture1(600, 450);
    ImageSurface picture2(601, 33);
    PictureSession expected(expectedRandom, clock, picture1, picture2);
    expected.startUp(99);

    QPushButton* const buttons[] = {button(window, "Command1"), button(window, "Command3"), button(window, "Command5"), button(window, "Command4")};
    for (int n = 0; n < 100; ++n) {
        const int which = (n * 7 + n / 3) % 4;
        postClick(buttons[which]);
        if (which < 3)
            expected.perform(std::array{Action::Image, Action::Palette, Action::Both}[which]);
    }
    // Nothing has happened yet: the clicks wait in the queue.
    EXPECT_NE(window.picture1Surface().image(), picture1.image());
    QCoreApplication::sendPostedEvents();

    EXPECT_EQ(window.picture1Surface().image(), picture1.image());
    EXPECT_EQ(window.picture2Surface().image(), picture2.image());
    // The generator has advanced by exactly the draws the presses imply.
    EXPECT_EQ(random.next(), expectedRandom.next());
    EXPECT_EQ(window.session().state(), expected.state());
}

} // namespace
} // namespace genart
