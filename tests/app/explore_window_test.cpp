#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include "app/candidate_tile.h"
#include "app/explore_window.h"
#include "app/form1.h"
#include "app/help_window.h"
#include "picture_files/picture_at_size.h"
#include "platform/qt/surface_view.h"
#include "support/window_parts.h"
#include "support/library_entries.h"
#include "support/modal_dialogs.h"

namespace genart {
namespace {

QImage pixelsOf(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

// A recipe's picture drawn afresh at `size`, caption and all.
QImage drawnAt(const Recipe& recipe, const PictureSize& size)
{
    return pixelsOf(drawPicture(recipe, size)->picture);
}

bool sameFormula(const Recipe& a, const Recipe& b)
{
    return a.picture.tip1 == b.picture.tip1 && a.picture.tip2 == b.picture.tip2 && a.picture.tip3 == b.picture.tip3;
}

class ExploreWindowTest : public ::testing::Test {
protected:
    ExploreWindowTest()
    {
        testing::usePrivateSettings();
        form.Form_Load();
    }

    // A key pressed on the main window, as the user would with it in front.
    void pressOnMain(Qt::Key key)
    {
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, key);
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(testing::viewOf<ExploreWindow>(form), key, modifiers);
    }
    ExploreWindow& view() { return *testing::viewOf<ExploreWindow>(form); }
    bool gridDrawn() { return QTest::qWaitFor([this] { return view().gridDrawn(); }, 30000); }

    // What the main window shows, read from the screen.
    QImage shown() const { return pixelsOf(testing::view(form, "Picture1")->grab().toImage()); }
    Recipe candidate(int index) { return view().candidate(index); }

    TwisterRandom random{2};
    FixedClock clock{2026, 12, 8, 12, 0, 0};
    Form1 form{random, clock, 77u};
};

// E shows what the next presses of "new img / new palette" would draw, each thumbnail the
// candidate drawn exactly at its own small scale; picking the second shows in the main window
// what a second press of N shows in another window of the same seed.
TEST_F(ExploreWindowTest, NewPicturesAreTheNextPressesDrawnExactly)
{
    pressOnMain(Qt::Key_E);
    ASSERT_NE(testing::viewOf<ExploreWindow>(form), nullptr);
    ASSERT_TRUE(gridDrawn());
    EXPECT_EQ(view().candidateCount(), 12);
    EXPECT_EQ(view().origin(), explore::Origin::Explore);
    for (int n = 0; n < view().candidateCount(); ++n)
        EXPECT_EQ(pixelsOf(view().thumbnail(n)), drawnAt(candidate(n), view().thumbnailSize())) << n;

    TwisterRandom otherRandom{2};
    Form1 other{otherRandom, clock, 77u};
    other.Form_Load();
    testing::button(other, "Command5")->click();
    testing::button(other, "Command5")->click();
    press(Qt::Key_2);
    EXPECT_EQ(form.session().recipe(), other.session().recipe());
    EXPECT_EQ(shown(), pixelsOf(other.picture1Surface().image()));
    EXPECT_EQ(genart::testing::keptEntries(form.library()).back().picture, candidate(1));
}

// V: the formula and strip of the picture shown, every value moved; 1 to 9 each show their
// candidate in the main window, which redraws from its kept recipe exactly, at 3x as well and at
// the thumbnail's own scale. The slider takes the same variations further, redrawing the grid.
TEST_F(ExploreWindowTest, VariationsPickedWithOneToNineRedrawExactly)
{
    const Recipe original = form.session().recipe();
    pressOnMain(Qt::Key_V);
    ASSERT_TRUE(gridDrawn());
    EXPECT_EQ(view().origin(), explore::Origin::Variation);
    for (int n = 0; n < 9; ++n) {
        const Recipe varied = candidate(n);
        EXPECT_TRUE(sameFormula(varied, original));
        EXPECT_EQ(varied.palette, original.palette);
        press(static_cast<Qt::Key>(Qt::Key_1 + n));
        EXPECT_EQ(shown(), drawnAt(varied, {})) << n;
        EXPECT_EQ(genart::testing::keptEntries(form.library()).back().picture, varied);
    }
    const Recipe kept = std::get<Recipe>(parseRecipe(recipeText(genart::testing::keptEntries(form.library()).back().picture)));
    EXPECT_EQ(drawnAt(kept, PictureSize::timesNormal(3)), drawnAt(candidate(8), PictureSize::timesNormal(3)));
    EXPECT_EQ(drawnAt(kept, view().thumbnailSize()), pixelsOf(view().thumbnail(8)));
    EXPECT_TRUE(view().isVisible()); // open for more picks

    const auto distance = [&] {
        double sum = 0;
        for (int n = 0; n < view().candidateCount(); ++n)
            sum += std::abs(candidate(n).picture.fak1 - original.picture.fak1);
        return sum;
    };
    const double middle = distance();
    view().strengthSlider->setValue(100);
    ASSERT_TRUE(gridDrawn());
    EXPECT_GT(distance(), 2 * middle);
    EXPECT_TRUE(sameFormula(candidate(0), original));
}

// R: the picture shown in new colours; the arrows move the current candidate and Enter shows it.
TEST_F(ExploreWindowTest, RecolouringsPickedWithEnter)
{
    const Recipe original = form.session().recipe();
    pressOnMain(Qt::Key_R);
    ASSERT_TRUE(gridDrawn());
    EXPECT_EQ(candidate(11).picture, original.picture);
    EXPECT_NE(candidate(11).palette, original.palette);
    press(Qt::Key_Right);
    press(Qt::Key_Down);
    const int current = view().current();
    EXPECT_EQ(current, 5);
    press(Qt::Key_Return);
    EXPECT_EQ(shown(), drawnAt(candidate(current), {}));
}

// The locks redraw the grid as they change; Space draws anew what is not locked.
TEST_F(ExploreWindowTest, LocksAndSpaceDrawAnewWhatIsNotLocked)
{
    pressOnMain(Qt::Key_E);
    ASSERT_TRUE(gridDrawn());
    const Recipe original = form.session().recipe();
    QSignalSpy redrawn(testing::viewOf<ExploreWindow>(form), &ExploreWindow::gridComplete);
    QTest::mouseClick(view().keepFormula, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return redrawn.count() == 1; }, 30000));
    const Recipe before = candidate(3);
    QTest::mouseClick(view().keepColours, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return redrawn.count() == 2; }, 30000));
    EXPECT_EQ(candidate(3).picture.fi0, before.picture.fi0); // the same fresh values, more kept
    press(Qt::Key_Space);
    ASSERT_TRUE(gridDrawn());
    EXPECT_NE(candidate(3).picture.fi0, before.picture.fi0);
    for (int n = 0; n < view().candidateCount(); ++n) {
        EXPECT_TRUE(sameFormula(candidate(n), original));
        EXPECT_EQ(candidate(n).palette, original.palette);
        EXPECT_EQ(candidate(n).picture.pozic0, original.picture.pozic0);
    }
    press(Qt::Key_4);
    EXPECT_EQ(shown(), drawnAt(candidate(3), {}));
}

// Two chosen with Ctrl+click give children with the form of one and the colours of the other.
TEST_F(ExploreWindowTest, MixingTwoChosen)
{
    pressOnMain(Qt::Key_E);
    ASSERT_TRUE(gridDrawn());
    const Recipe first = candidate(0);
    const Recipe second = candidate(5);
    EXPECT_FALSE(view().mixButton->isEnabled());
    QTest::mouseClick(view().tiles[0], Qt::LeftButton, Qt::ControlModifier);
    QTest::mouseClick(view().tiles[5], Qt::LeftButton, Qt::ControlModifier);
    ASSERT_TRUE(view().mixButton->isEnabled());
    QTest::mouseClick(view().mixButton, Qt::LeftButton);
    ASSERT_TRUE(gridDrawn());
    EXPECT_EQ(view().origin(), explore::Origin::Mix);
    EXPECT_TRUE(sameFormula(candidate(0), first));
    EXPECT_EQ(candidate(0).palette, second.palette);
    EXPECT_TRUE(sameFormula(candidate(11), second));
    EXPECT_EQ(candidate(11).palette, first.palette);
    QTest::mouseClick(view().tiles[2], Qt::LeftButton);
    EXPECT_EQ(shown(), drawnAt(candidate(2), {}));
}

// The keys are found without a manual: in the context menu, in the help, and on the line above
// the picture on the first start and while the help is open.
TEST_F(ExploreWindowTest, KeysAreNamedInTheMenuTheHelpAndTheHint)
{
    const QList<QAction*> menu = testing::view(form, "Picture1")->actions();
    for (QAction* action : {testing::action(form, "exploreAction"), testing::action(form, "variationsAction"), testing::action(form, "recolouringsAction")})
        EXPECT_TRUE(menu.contains(action));
    EXPECT_EQ(testing::action(form, "exploreAction")->shortcut(), QKeySequence(Qt::Key_E));
    EXPECT_EQ(testing::action(form, "variationsAction")->shortcut(), QKeySequence(Qt::Key_V));
    EXPECT_EQ(testing::action(form, "recolouringsAction")->shortcut(), QKeySequence(Qt::Key_R));

    EXPECT_TRUE(testing::label(form, "statusLine")->isVisible());
    EXPECT_TRUE(testing::label(form, "statusLine")->text().contains(QStringLiteral("F1")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !testing::label(form, "statusLine")->isVisible(); }, 20000));
    TwisterRandom otherRandom{3};
    Form1 again{otherRandom, clock, 1u};
    again.Form_Load();
    EXPECT_FALSE(testing::label(again, "statusLine")->isVisible()); // not on later starts

    pressOnMain(Qt::Key_F1);
    ASSERT_NE(testing::helpOf(form), nullptr);
    EXPECT_TRUE(testing::label(form, "statusLine")->isVisible());
    for (const char* key : {"<b>E</b>", "<b>V</b>", "<b>R</b>"})
        EXPECT_TRUE(testing::helpOf(form)->text->text().contains(QLatin1String(key))) << key;
    QTest::qWait(200);
    EXPECT_TRUE(testing::label(form, "statusLine")->isVisible()); // until the help is closed
    testing::helpOf(form)->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !testing::label(form, "statusLine")->isVisible(); }, 20000));
}

} // namespace
} // namespace genart
