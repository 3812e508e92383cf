// The window's buttons and a session without a window draw the same pictures, captions
// included, from the same seed.
#include <vector>

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "platform/qt/image_surface.h"
#include "session/picture_session.h"
#include "support/window_parts.h"
#include "support/image_session.h"

namespace genart {
namespace {

using testing::button;

TEST(Determinism, WindowMatchesHeadlessDrawing)
{
    const FixedClock clock(2026, 1, 2, 3, 4, 5);
    testing::ImageSession headless(7, {}, std::make_shared<FixedClock>(clock));
    PictureSession& session = headless.session;
    const ImageSurface& picture = headless.picture;
    const ImageSurface& strip = headless.strip;

    TwisterRandom random;
    Form1 form(random, clock, 7u);
    form.Form_Load();
    const auto expectSame = [&](const char* after) {
        EXPECT_EQ(form.picture1Surface().image(), picture.image()) << "picture after " << after;
        EXPECT_EQ(form.picture2Surface().image(), strip.image()) << "strip after " << after;
    };
    expectSame("start-up");
    const std::pair<QPushButton*, Action> presses[] = {
        {button(form, "Command1"), Action::Image}, {button(form, "Command3"), Action::Palette}, {button(form, "Command5"), Action::Both}};
    for (const auto& [button, action] : presses) {
        QTest::mouseClick(button, Qt::LeftButton);
        session.perform(action);
        expectSame(button->text().toStdString().c_str());
    }
}

} // namespace
} // namespace genart
