#include <iostream>
#include <sstream>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "files/recipe_file.h"
#include "platform/qt/surface_view.h"
#include "support/library_entries.h"
#include "support/window_parts.h"
#include "support/window_saves.h"
#include "support/image_session.h"

namespace genart {
namespace {

using testing::keptCount;
using testing::keptEntries;
using testing::button;
using testing::view;
using testing::action;

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

// Everything the window shows of one entry, and the state behind it.
struct Seen {
    QImage picture, strip;         // the surfaces
    QImage shownPicture, shownStrip; // what the views paint
    GenerationState state;
    Recipe recipe;
    PaletteParameters palette;
};

Seen seen(Form1& form)
{
    return {rgb(form.picture1Surface().image()), rgb(form.picture2Surface().image()),
            rgb(view(form, "Picture1")->grab().toImage()), rgb(view(form, "Picture2")->grab().toImage()),
            form.session().state(), form.session().recipe(), form.session().palette()};
}

void expectSeen(Form1& form, const Seen& expected, const std::string& what)
{
    const Seen now = seen(form);
    EXPECT_EQ(now.picture, expected.picture) << what;
    EXPECT_EQ(now.strip, expected.strip) << what;
    EXPECT_EQ(now.shownPicture, expected.picture) << what;
    EXPECT_EQ(now.shownStrip, expected.strip) << what;
    EXPECT_EQ(now.state, expected.state) << what;
    EXPECT_EQ(now.recipe, expected.recipe) << what;
    EXPECT_EQ(now.palette, expected.palette) << what;
}

// Shortcuts answer only in the active window.
void activate(Form1& form)
{
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
}

void press(Form1& form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &form, key, modifiers);
}

class HistoryInTheWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.Form_Load();
        activate(form);
    }

    TwisterRandom random;
    FixedClock clock{2026, 5, 6, 7, 8, 9};
    Form1 form{random, clock, 1234u};
};

TEST_F(HistoryInTheWindow, KeysDrawWhatTheirButtonsDraw)
{
    TwisterRandom otherRandom;
    Form1 clicked(otherRandom, clock, 1234u);
    clicked.Form_Load();
    activate(form);
    const struct {
        Qt::Key key;
        QPushButton* button;
    } steps[] = {{Qt::Key_N, button(clicked, "Command5")}, {Qt::Key_I, button(clicked, "Command1")}, {Qt::Key_P, button(clicked, "Command3")},
                 {Qt::Key_I, button(clicked, "Command1")}, {Qt::Key_P, button(clicked, "Command3")}, {Qt::Key_N, button(clicked, "Command5")}};
    for (const auto& step : steps) {
        press(form, step.key);
        QTest::mouseClick(step.button, Qt::LeftButton);
        const Seen expected = seen(clicked);
        expectSeen(form, expected, QKeySequence(step.key).toString().toStdString());
    }
    EXPECT_EQ(keptEntries(form.library()), keptEntries(clicked.library()));
    EXPECT_EQ(keptCount(form.library()), 7u);

    // Each button's tooltip names its key.
    EXPECT_TRUE(button(form, "Command5")->toolTip().contains(QStringLiteral("(N)")));
    EXPECT_TRUE(button(form, "Command1")->toolTip().contains(QStringLiteral("(I)")));
    EXPECT_TRUE(button(form, "Command3")->toolTip().contains(QStringLiteral("(P)")));
    EXPECT_TRUE(button(form, "Command2")->toolTip().contains(QStringLiteral("(Ctrl+Q)")));
}

TEST_F(HistoryInTheWindow, EveryWayBackAndForthShowsEachEntryExactly)
{
    std::vector<Seen> entries{seen(form)};
    for (const Qt::Key key : {Qt::Key_N, Qt::Key_P, Qt::Key_P, Qt::Key_I, Qt::Key_N}) {
        press(form, key);
        entries.push_back(seen(form));
    }
    ASSERT_NE(entries[2].strip, entries[1].strip);
    ASSERT_EQ(entries[2].picture, entries[1].picture);

    // Each of the ways back, then each of the ways forward, in turn.
    const std::vector<std::function<void()>> back{
        [&] { press(form, Qt::Key_Left); },
        [&] { press(form, Qt::Key_Left, Qt::AltModifier); },
        [&] { QTest::mouseClick(view(form, "Picture1"), Qt::BackButton); },
        [&] { action(form, "previousAction")->trigger(); }, // the picture's context menu
    };
    const std::vector<std::function<void()>> forward{
        [&] { press(form, Qt::Key_Right); },
        [&] { press(form, Qt::Key_Right, Qt::AltModifier); },
        [&] { QTest::mouseClick(view(form, "Picture2"), Qt::ForwardButton); },
        [&] { action(form, "nextAction")->trigger(); },
    };
    EXPECT_FALSE(action(form, "nextAction")->isEnabled());
    for (std::size_t n = entries.size() - 1; n-- > 0;) {
        back[n % back.size()]();
        expectSeen(form, entries[n], "back to entry " + std::to_string(n));
        EXPECT_EQ(testing::label(form, "placeLine")->text(), QStringLiteral("%1 of 6").arg(n + 1));
    }
    EXPECT_FALSE(action(form, "previousAction")->isEnabled());
    press(form, Qt::Key_Left); // nothing before the first
    expectSeen(form, entries[0], "still the first");
    for (std::size_t n = 1; n < entries.size(); ++n) {
        forward[n % forward.size()]();
        expectSeen(form, entries[n], "forward to entry " + std::to_string(n));
    }
    press(form, Qt::Key_Right);
    expectSeen(form, entries.back(), "still the newest");
    EXPECT_EQ(testing::label(form, "placeLine")->text(), QStringLiteral("6 of 6"));
    EXPECT_EQ(keptCount(form.library()), entries.size());

    // The context menu of the picture offers both.
    EXPECT_TRUE(view(form, "Picture1")->actions().contains(action(form, "previousAction")));
    EXPECT_TRUE(view(form, "Picture1")->actions().contains(action(form, "nextAction")));
    EXPECT_EQ(action(form, "previousAction")->text(), QStringLiteral("Previous picture"));
    EXPECT_EQ(action(form, "nextAction")->text(), QStringLiteral("Next picture"));
}

TEST_F(HistoryInTheWindow, ACommandOnAnEarlierEntryDrawsFromItAndIsAddedAsTheNewest)
{
    press(form, Qt::Key_N);
    const Seen afterBoth = seen(form);
    press(form, Qt::Key_P);
    const std::vector<HistoryEntry> before = keptEntries(form.library());

    // The same presses on a session of its own, and the same return to the earlier entry.
    testing::ImageSession expectedSession(1234, {Action::Both, Action::Palette}, std::make_shared<FixedClock>(clock));
    PictureSession& expected = expectedSession.session;
    const ImageSurface& picture = expectedSession.picture;
    const ImageSurface& strip = expectedSession.strip;
    expected.restore(afterBoth.recipe, afterBoth.palette);

    const auto expectDrawnAsExpected = [&](const std::string& what) {
        EXPECT_EQ(rgb(form.picture1Surface().image()), rgb(picture.image())) << what;
        EXPECT_EQ(rgb(form.picture2Surface().image()), rgb(strip.image())) << what;
        EXPECT_EQ(form.session().state(), expected.state()) << what;
        EXPECT_EQ(form.session().recipe(), expected.recipe()) << what;
        const QString newest = QString::number(keptCount(form.library()));
        EXPECT_EQ(testing::partOf<QLabel>(form, "placeLine")->text(), newest + QStringLiteral(" of ") + newest) << what;
        EXPECT_FALSE(action(form, "nextAction")->isEnabled()) << what;
    };

    // Back to the entry of new img / new palette; new img / old palette draws from its strip.
    press(form, Qt::Key_Left);
    const std::int64_t drawnFrom = *form.shownEntryId();
    press(form, Qt::Key_I);
    expected.perform(Action::Image);
    expectDrawnAsExpected("new img / old palette on entry 1");
    ASSERT_EQ(keptCount(form.library()), 4u);
    EXPECT_EQ(keptEntries(form.library())[3].strip, afterBoth.palette);
    // The new entry knows what it was drawn from, and how.
    const auto made = std::get<LibraryEntry>(form.library().entry(*form.shownEntryId()));
    EXPECT_EQ(made.parents, std::vector<std::int64_t>{drawnFrom});
    EXPECT_EQ(made.origin, "command");

    // Left from the newest is change palette's entry, the one before it; a command from there.
    press(form, Qt::Key_Left);
    EXPECT_EQ(testing::label(form, "placeLine")->text(), QStringLiteral("3 of 4"));
    expected.restore(before[2].picture, before[2].strip);
    press(form, Qt::Key_N);
    expected.perform(Action::Both);
    expectDrawnAsExpected("new img / new palette on entry 2");
    ASSERT_EQ(keptCount(form.library()), 5u);
    // Nothing was dropped or moved.
    const std::vector<HistoryEntry> after = keptEntries(form.library());
    EXPECT_EQ(std::vector<HistoryEntry>(after.begin(), after.begin() + 3), before);
}

TEST_F(HistoryInTheWindow, SavingAndCopyingTakeTheEntryShown)
{
    press(form, Qt::Key_N);
    press(form, Qt::Key_Left);
    const QImage first = rgb(form.picture1Surface().image());
    const Recipe firstRecipe = keptEntries(form.library())[0].picture;

    press(form, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(rgb(QGuiApplication::clipboard()->image()), first);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("first.png"));
    testing::usePrivateSettings();
    QSignalSpy saved(&form, &Form1::saved);
    testing::saveThroughDialog(form, path);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 60000);
    QStandardPaths::setTestModeEnabled(false);
    EXPECT_EQ(rgb(QImage(path)), first);
    const auto recipe = readRecipeFile(path.toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(recipe));
    EXPECT_EQ(std::get<Recipe>(recipe), firstRecipe);
}

TEST(HistoryAcrossRuns, LeftFromAFreshStartShowsTheRunBefore)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data/library.sqlite"));
    const FixedClock clock(2026, 5, 6, 7, 8, 9);
    std::vector<Seen> earlier;
    {
        TwisterRandom random;
        Form1 form(random, clock, 11u, path);
        form.Form_Load();
        activate(form);
        earlier.push_back(seen(form));
        for (const Qt::Key key : {Qt::Key_N, Qt::Key_P}) {
            press(form, key);
            earlier.push_back(seen(form));
        }
        press(form, Qt::Key_Q, Qt::ControlModifier);
        EXPECT_FALSE(form.isVisible());
    }

    TwisterRandom random;
    Form1 form(random, clock, 12u, path);
    form.Form_Load();
    activate(form);
    ASSERT_EQ(keptCount(form.library()), 4u);
    EXPECT_EQ(testing::label(form, "placeLine")->text(), QStringLiteral("4 of 4"));
    const Seen fresh = seen(form);
    EXPECT_NE(fresh.picture, earlier.back().picture);
    for (std::size_t n = earlier.size(); n-- > 0;) {
        press(form, Qt::Key_Left);
        expectSeen(form, earlier[n], "the earlier run's entry " + std::to_string(n));
    }
    press(form, Qt::Key_End); // no key of ours
    for (int n = 0; n < 3; ++n)
        press(form, Qt::Key_Right);
    expectSeen(form, fresh, "this run's start-up");
    std::vector<HistoryEntry> both;
    for (const Seen& entry : earlier)
        both.push_back({entry.recipe, entry.palette});
    both.push_back({fresh.recipe, fresh.palette});
    EXPECT_EQ(keptEntries(form.library()), both);
}

TEST(HistoryAcrossRuns, ADamagedLibraryIsSetAsideToldInTheWindowAndStartUpGoesOn)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.sqlite"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'x'));
    }
    std::ostringstream told;
    std::streambuf* const standardError = std::cerr.rdbuf(told.rdbuf());
    TwisterRandom random;
    const FixedClock clock(2026, 5, 6, 7, 8, 9);
    Form1 form(random, clock, 13u, path);
    form.Form_Load();
    std::cerr.rdbuf(standardError);

    EXPECT_EQ(keptCount(form.library()), 1u);
    EXPECT_EQ(testing::label(form, "placeLine")->text(), QStringLiteral("1 of 1"));
    EXPECT_NE(rgb(form.picture1Surface().image()), rgb(ImageSurface(kPictureWidth, kPictureHeight).image()));
    const std::string line = told.str();
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
    EXPECT_NE(line.find("set aside"), std::string::npos) << line;
    // Said in the window, where a desktop user sees it.
    EXPECT_TRUE(testing::label(form, "statusLine")->isVisible());
    EXPECT_TRUE(testing::label(form, "statusLine")->text().contains(QStringLiteral("is damaged (file is not a database); it was set aside")))
        << testing::label(form, "statusLine")->text().toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("library.sqlite.damaged-*")}).size(), 1);
}

} // namespace
} // namespace genart
