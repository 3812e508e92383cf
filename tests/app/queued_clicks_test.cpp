#include <gtest/gtest.h>

#include <array>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPushButton>

#include "app/form1.h"
#include "platform/qt/image_surface.h"
#include "support/window_parts.h"
#include "session/session_on.h"

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
    TwisterRandom expectedRandom;
    SessionOn<ImageSurface> expectedSession(expectedRandom, clock);
    PictureSession& expected = expectedSession.play(99).session;
    const ImageSurface& picture1 = expectedSession.picture;
    const ImageSurface& picture2 = expectedSession.strip;

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
