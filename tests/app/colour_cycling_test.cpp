// Colour cycling and animation saves in the window, on Qt's offscreen platform: real key
// presses and clicks, and the pixels the views really paint.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/colour_cycling.h"
#include "app/form1.h"
#include "palette/palette_turn.h"
#include "platform/qt/surface_view.h"
#include "support/decoded_webp.h"
#include "files/recipe_file.h"
#include "support/file_contents.h"
#include "support/library_entries.h"
#include "support/modal_dialogs.h"
#include "support/window_parts.h"
#include "support/window_saves.h"

namespace genart {
namespace {

using testing::button;
using testing::view;
using testing::action;
using testing::partOf;
using testing::cyclingOf;

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage shown(SurfaceView* view)
{
    return rgb(view->grab().toImage());
}

// The frame of the turn's `step` of the picture `recipe` draws, as the core paints it.
QImage frameOf(const Recipe& recipe, int step)
{
    ImageSurface picture(kPictureWidth, kPictureHeight);
    ImageSurface strip(kStripWidth, kStripHeight);
    CyclingPicture cycling;
    cycling.draw(recipe, picture, strip);
    cycling.paintFrame(step, kTurnMilliseconds, picture, strip);
    return picture.image();
}

QImage turnedStrip(const PaletteParameters& palette, int step)
{
    ImageSurface strip(kStripWidth, kStripHeight);
    paintTurnedPalette(palette, step, kTurnMilliseconds, strip);
    return strip.image();
}

class CyclingInTheWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::usePrivateSettings(); // the save dialogs remember their choices
        form.Form_Load();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    void TearDown() override { QStandardPaths::setTestModeEnabled(false); }

    void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &form, key); }

    // Waits for the timer's next frame, one that is not the first.
    void nextFrame()
    {
        QSignalSpy frames(&cyclingOf(form), &ColourCycling::frameShown);
        ASSERT_TRUE(frames.wait(2000));
    }

    void expectStill(const std::string& what)
    {
        EXPECT_FALSE(cyclingOf(form).running()) << what;
        EXPECT_FALSE(action(form, "cycleAction")->isChecked()) << what;
        EXPECT_EQ(shown(view(form, "Picture1")), rgb(form.picture1Surface().image())) << what;
        EXPECT_EQ(shown(view(form, "Picture2")), rgb(form.picture2Surface().image())) << what;
    }

    TwisterRandom random;
    FixedClock clock{2026, 5, 6, 7, 8, 9};
    Form1 form{random, clock, 42u};
};

TEST_F(CyclingInTheWindow, CMakesTheColoursFlowAndStandStillExactlyAsTheyWere)
{
    const QImage still = rgb(form.picture1Surface().image());
    const QImage stillStrip = rgb(form.picture2Surface().image());
    press(Qt::Key_C);
    ASSERT_TRUE(cyclingOf(form).running());
    EXPECT_TRUE(action(form, "cycleAction")->isChecked());
    int lastStep = -1;
    for (int n = 0; n < 3; ++n) {
        nextFrame();
        const int step = cyclingOf(form).shownStep();
        EXPECT_NE(step, lastStep);
        lastStep = step;
        EXPECT_EQ(shown(view(form, "Picture1")), rgb(frameOf(form.session().recipe(), step))) << "step " << step;
        EXPECT_EQ(shown(view(form, "Picture2")), rgb(turnedStrip(form.session().palette(), step))) << "step " << step;
        EXPECT_NE(shown(view(form, "Picture1")), still) << "step " << step;
    }
    // The surfaces, which the next "new img / old palette" reads, were never touched.
    EXPECT_EQ(rgb(form.picture1Surface().image()), still);
    EXPECT_EQ(rgb(form.picture2Surface().image()), stillStrip);

    press(Qt::Key_C);
    expectStill("after C again");
    EXPECT_EQ(shown(view(form, "Picture1")), still);
    EXPECT_EQ(shown(view(form, "Picture2")), stillStrip);
}

TEST_F(CyclingInTheWindow, SavingAndCopyingKeepTheFrameOnTheScreen)
{
    testing::usePrivateSettings();
    QTemporaryDir folder;
    press(Qt::Key_C);
    nextFrame();
    const QImage onScreen = shown(testing::view(form, "Picture1"));
    ASSERT_NE(onScreen, rgb(form.picture1Surface().image()));

    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(rgb(QGuiApplication::clipboard()->image()), onScreen);

    // Ctrl+S holds the frame while the dialog is open; that frame is the one written, with the
    // turn in its recipe, so the recipe draws it again at any size.
    const QString path = folder.filePath(QStringLiteral("frame.png"));
    int heldStep = -1;
    QImage held;
    testing::whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        heldStep = testing::cyclingOf(form).shownStep();
        dialog->selectFile(path);
        QTimer::singleShot(3 * ColourCycling::kFrameMilliseconds, dialog, [&, dialog] {
            EXPECT_EQ(testing::cyclingOf(form).shownStep(), heldStep);
            held = shown(testing::view(form, "Picture1"));
            static_cast<QDialog*>(dialog)->accept();
        });
    });
    QSignalSpy saved(&form, &Form1::saved);
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(saved.count() > 0 || saved.wait(20000)); // it is written in the background
    ASSERT_GE(heldStep, 0);
    EXPECT_EQ(rgb(QImage(path)), held);
    const auto recipe = readRecipeFile(path.toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(recipe));
    EXPECT_EQ(std::get<Recipe>(recipe).cycle, (PaletteTurn{heldStep, kTurnMilliseconds}));
    EXPECT_TRUE(testing::cyclingOf(form).running()); // and the colours flow on
    nextFrame();
    EXPECT_NE(testing::cyclingOf(form).shownStep(), heldStep);
    press(Qt::Key_C);
    QStandardPaths::setTestModeEnabled(false);
}

TEST_F(CyclingInTheWindow, EveryCommandAndTheHistoryStopIt)
{
    const std::vector<std::pair<std::string, std::function<void()>>> stoppers{
        {"new img / old palette", [&] { QTest::mouseClick(button(form, "Command1"), Qt::LeftButton); }},
        {"change palette", [&] { QTest::mouseClick(button(form, "Command3"), Qt::LeftButton); }},
        {"N", [&] { press(Qt::Key_N); }},
        {"back", [&] { press(Qt::Key_Left); }},
        {"forward", [&] { press(Qt::Key_Right); }},
        {"the context menu's entry", [&] { action(form, "cycleAction")->trigger(); }},
    };
    for (const auto& [what, stop] : stoppers) {
        action(form, "cycleAction")->trigger(); // as the picture's context menu does
        ASSERT_TRUE(cyclingOf(form).running()) << what;
        nextFrame();
        stop();
        expectStill(what);
    }
    EXPECT_EQ(testing::keptCount(form.library()), 4u); // the commands were all carried out
    // After "change palette" the strip is not the picture's palette: both cycle, each its own.
    press(Qt::Key_P);
    press(Qt::Key_C);
    nextFrame();
    const int step = cyclingOf(form).shownStep();
    EXPECT_EQ(shown(view(form, "Picture1")), rgb(frameOf(form.session().recipe(), step)));
    EXPECT_EQ(shown(view(form, "Picture2")), rgb(turnedStrip(form.session().palette(), step)));
    press(Qt::Key_C);
}

TEST_F(CyclingInTheWindow, ThePicturesContextMenuHasBothEntries)
{
    const QList<QAction*> menu = view(form, "Picture1")->actions();
    EXPECT_TRUE(menu.contains(action(form, "cycleAction")));
    EXPECT_TRUE(menu.contains(action(form, "saveAnimationAction")));
    EXPECT_EQ(action(form, "cycleAction")->text(), QStringLiteral("Cycle colours"));
    EXPECT_EQ(action(form, "saveAnimationAction")->text(), QStringLiteral("Save animation…"));
}

TEST_F(CyclingInTheWindow, AnimationsSaveInTheBackgroundWhileTheButtonsWork)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("loop.webp"));
    QSignalSpy saved(&form, &Form1::saved);
    testing::saveLoopThroughDialog(form, path, 24, 30);
    EXPECT_FALSE(action(form, "saveAnimationAction")->isEnabled());
    const QImage animated = rgb(form.picture1Surface().image());
    QTest::mouseClick(button(form, "Command5"), Qt::LeftButton); // answered at once, the save goes on
    EXPECT_NE(rgb(form.picture1Surface().image()), animated);
    ASSERT_TRUE(saved.wait(60000));
    EXPECT_EQ(saved.at(0).at(1).toString(), QString());
    EXPECT_FALSE(saved.at(0).at(2).toBool());
    EXPECT_TRUE(action(form, "saveAnimationAction")->isEnabled());
    const testing::DecodedWebp decoded = testing::decodeWebp(testing::contents(path));
    ASSERT_EQ(decoded.frames.size(), 24u);
    // The picture shown when the save began, not the one drawn meanwhile.
    EXPECT_EQ(decoded.frames[0], animated);

    // A save cancelled from its panel leaves nothing.
    const QString cancelledPath = folder.filePath(QStringLiteral("cancelled.mp4"));
    testing::saveLoopThroughDialog(form, cancelledPath, 600, 30, 2);
    auto* panel = partOf<QWidget>(form, "canvas")->findChild<QProgressDialog*>();
    ASSERT_NE(panel, nullptr);
    QTest::mouseClick(panel->findChild<QPushButton*>(), Qt::LeftButton);
    ASSERT_TRUE(saved.wait(60000));
    EXPECT_TRUE(saved.at(1).at(2).toBool());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("loop.webp")});
}

} // namespace
} // namespace genart
