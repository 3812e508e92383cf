// The window on the library: F and the star, two windows sharing one library, the old history
// carried in, and a locked library told in the window.
#include <iostream>
#include <sstream>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "platform/qt/surface_view.h"
#include "support/window_parts.h"
#include "support/library_entries.h"
#include "support/sample_entries.h"

namespace genart {
namespace {

using testing::keptCount;
using testing::keptEntries;

void press(Form1& form, Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &form, key);
}

// A window on the library file in `dir`, shown and active, so its keys answer.
struct Window {
    Window(const QString& path, std::uint32_t seed) : form(random, clock, seed, path)
    {
        form.Form_Load();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    void activate()
    {
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    QString place() const { return testing::label(form, "placeLine")->text(); }

    TwisterRandom random;
    FixedClock clock{2026, 5, 6, 7, 8, 9};
    Form1 form;
};

class LibraryInTheWindow : public ::testing::Test {
protected:
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.sqlite"));
};

TEST_F(LibraryInTheWindow, FMarksTheEntryShownAFavouriteWithAStarAndKeepsIt)
{
    Window window(path, 21u);
    press(window.form, Qt::Key_N);
    press(window.form, Qt::Key_N);
    EXPECT_EQ(window.place(), QStringLiteral("3 of 3"));
    press(window.form, Qt::Key_Left);
    press(window.form, Qt::Key_F);
    EXPECT_EQ(window.place(), QStringLiteral("2 of 3 \u2605"));
    EXPECT_TRUE(testing::action(window.form, "favouriteAction")->isChecked());
    press(window.form, Qt::Key_Right);
    EXPECT_EQ(window.place(), QStringLiteral("3 of 3"));
    EXPECT_FALSE(testing::action(window.form, "favouriteAction")->isChecked());
    press(window.form, Qt::Key_Left);
    EXPECT_EQ(window.place(), QStringLiteral("2 of 3 \u2605"));

    // Kept in the library, for the gallery and the command line.
    EntryFilter favourites;
    favourites.favouritesOnly = true;
    const auto ids = std::get<std::vector<std::int64_t>>(window.form.library().ids(favourites));
    EXPECT_EQ(ids, std::vector<std::int64_t>{*window.form.shownEntryId()});

    // The picture's context menu offers it too; F again takes it back.
    EXPECT_TRUE(testing::view(window.form, "Picture1")->actions().contains(testing::action(window.form, "favouriteAction")));
    EXPECT_EQ(testing::action(window.form, "favouriteAction")->text(), QStringLiteral("Favourite"));
    testing::action(window.form, "favouriteAction")->trigger();
    EXPECT_EQ(window.place(), QStringLiteral("2 of 3"));
    press(window.form, Qt::Key_F);
    press(window.form, Qt::Key_F);
    EXPECT_EQ(window.place(), QStringLiteral("2 of 3"));
    EXPECT_EQ(std::get<std::int64_t>(window.form.library().count(favourites)), 0);
}

TEST_F(LibraryInTheWindow, TwoWindowsKeepEveryPictureAndWalkEachOthers)
{
    Window first(path, 1u);
    Window second(path, 2u);
    first.activate();
    press(first.form, Qt::Key_N);
    second.activate();
    press(second.form, Qt::Key_I);
    press(second.form, Qt::Key_P);
    first.activate();
    press(first.form, Qt::Key_N);

    // Six pictures drawn, six kept, in the order they were drawn.
    ASSERT_EQ(keptCount(first.form.library()), 6u);
    const std::vector<HistoryEntry> kept = keptEntries(first.form.library());
    EXPECT_EQ(kept.back(), (HistoryEntry{first.form.session().recipe(), first.form.session().palette()}));
    EXPECT_EQ(first.place(), QStringLiteral("6 of 6"));
    // Left walks through the second window's pictures too.
    press(first.form, Qt::Key_Left);
    EXPECT_EQ(first.place(), QStringLiteral("5 of 6"));
    EXPECT_EQ(first.form.session().recipe(), kept[4].picture);
    EXPECT_EQ(first.form.session().palette(), kept[4].strip);

    // The other window learns of the new pictures without a key pressed.
    second.activate();
    QTRY_COMPARE(second.place(), QStringLiteral("5 of 6"));
    press(second.form, Qt::Key_Right);
    EXPECT_EQ(second.place(), QStringLiteral("6 of 6"));
    EXPECT_EQ(second.form.session().recipe(), kept[5].picture);
}

TEST_F(LibraryInTheWindow, TheOldHistoryBesideTheLibraryIsCarriedInOnceAndTold)
{
    const std::vector<HistoryEntry> old = testing::drawnEntries(5);
    const std::string text = historyText(old);
    {
        QFile file(dir.filePath(QStringLiteral("history.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
    std::ostringstream told;
    std::streambuf* const standardError = std::cerr.rdbuf(told.rdbuf());
    {
        Window window(path, 3u);
        std::cerr.rdbuf(standardError);
        EXPECT_EQ(window.place(), QStringLiteral("5 of 5"));
        EXPECT_TRUE(testing::label(window.form, "statusLine")->text().startsWith(QStringLiteral("4 pictures of the old history were carried")))
            << testing::label(window.form, "statusLine")->text().toStdString();
        press(window.form, Qt::Key_Left);
        EXPECT_EQ(window.form.session().recipe(), old[3].picture);
        EXPECT_EQ(window.form.session().palette(), old[3].strip);
    }
    Window again(path, 4u);
    EXPECT_EQ(again.place(), QStringLiteral("6 of 6"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("history.txt"))));
}

TEST_F(LibraryInTheWindow, ALockedLibraryIsToldInTheWindowAndThePictureKeptOnceItCanBe)
{
    Window window(path, 6u);
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::ostringstream told;
    std::streambuf* const standardError = std::cerr.rdbuf(told.rdbuf());
    press(window.form, Qt::Key_N); // waits for the lock, then goes on without it
    std::cerr.rdbuf(standardError);
    EXPECT_EQ(testing::label(window.form, "statusLine")->text(), QStringLiteral("The picture cannot be kept in the library: database is "
                                                             "locked; kept in memory until it can be written."));
    EXPECT_EQ(window.place(), QStringLiteral("not kept yet"));
    EXPECT_FALSE(window.form.shownEntryId());
    EXPECT_FALSE(testing::action(window.form, "favouriteAction")->isEnabled());
    const HistoryEntry waiting{window.form.session().recipe(), window.form.session().palette()};
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);

    // Left from a picture not kept yet is the newest kept one.
    press(window.form, Qt::Key_Left);
    EXPECT_EQ(window.place(), QStringLiteral("1 of 1"));
    press(window.form, Qt::Key_N);
    EXPECT_EQ(window.place(), QStringLiteral("3 of 3"));
    EXPECT_EQ(keptEntries(window.form.library())[1], waiting);
}

} // namespace
} // namespace genart
