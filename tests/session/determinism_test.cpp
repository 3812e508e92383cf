#include <vector>

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "command_line/command_line.h"
#include "app/form1.h"
#include "session/picture_session.h"
#include "platform/qt/image_surface.h"

namespace genart {
namespace {

struct Frames {
    std::vector<QImage> pictures;
    std::vector<QImage> strips;
};

// Start-up followed by the given actions, without a window; keeps both surfaces after
// start-up and after every action.
Frames drawHeadless(std::uint32_t seed, const std::vector<Action>& actions)
{
    TwisterRandom random(seed);
    const FixedClock clock(2026, 1, 2, 3, 4, 5);
    ImageSurface picture(600, 450);
    ImageSurface strip(601, 33);
    PictureSession session(random, clock, picture, strip);
    Frames frames;
    const auto keep = [&] {
        frames.pictures.push_back(picture.image().copy());
        frames.strips.push_back(strip.image().copy());
    };
    session.startUp(seed);
    keep();
    for (const Action action : actions) {
        session.perform(action);
        keep();
    }
    return frames;
}

const std::vector<Action> kActions{Action::Image, Action::Palette, Action::Both};

TEST(Determinism, SameSeedSameActionsSamePixels)
{
    const Frames first = drawHeadless(7, kActions);
    const Frames second = drawHeadless(7, kActions);
    ASSERT_EQ(first.pictures.size(), 4u);
    ASSERT_EQ(second.pictures.size(), 4u);
    for (std::size_t n = 0; n < first.pictures.size(); ++n) {
        EXPECT_EQ(first.pictures[n], second.pictures[n]) << "picture after step " << n;
        EXPECT_EQ(first.strips[n], second.strips[n]) << "strip after step " << n;
    }
    // The sequence really went somewhere: each step changed what it should.
    EXPECT_NE(first.pictures[0], first.pictures[1]);
    EXPECT_NE(first.strips[1], first.strips[2]);
    EXPECT_NE(first.pictures[2], first.pictures[3]);
}

TEST(Determinism, DifferentSeedDifferentPicture)
{
    const Frames a = drawHeadless(7, {});
    const Frames b = drawHeadless(8, {});
    EXPECT_NE(a.pictures[0], b.pictures[0]);
    EXPECT_NE(a.strips[0], b.strips[0]);
}

// The window's buttons and the headless actions draw the same pictures from the same seed.
TEST(Determinism, WindowMatchesHeadlessDrawing)
{
    const Frames expected = drawHeadless(7, kActions);
    TwisterRandom random;
    const FixedClock clock(2026, 1, 2, 3, 4, 5);
    Form1 form(random, clock, 7u);
    form.Form_Load();
    const auto expectStep = [&](std::size_t n) {
        EXPECT_EQ(form.picture1Surface().image(), expected.pictures[n]) << "picture after step " << n;
        EXPECT_EQ(form.picture2Surface().image(), expected.strips[n]) << "strip after step " << n;
    };
    expectStep(0);
    QPushButton* const buttons[] = {form.Command1, form.Command3, form.Command5};
    for (std::size_t n = 0; n < 3; ++n) {
        QTest::mouseClick(buttons[n], Qt::LeftButton);
        expectStep(n + 1);
    }
}

} // namespace
} // namespace genart
