#include <sstream>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/file_contents.h"

#include "app/history_file.h"
#include "platform/qt/image_surface.h"
#include "session/picture_session.h"
#include "support/image_session.h"

namespace genart {
namespace {

using testing::contents;
using testing::put;

// The entries a short session shows: start-up, a change of palette, a new picture.
std::vector<HistoryEntry> someEntries(std::uint32_t seed)
{
    testing::ImageSession drawn(seed, {}, std::make_shared<FixedClock>(2026, 3, 4, 5, 6, 7));
    PictureSession& session = drawn.session;
    std::vector<HistoryEntry> entries{{session.recipe(), session.palette()}};
    for (const Action action : {Action::Palette, Action::Image}) {
        session.perform(action);
        entries.push_back({session.recipe(), session.palette()});
    }
    return entries;
}

class HistoryFileTest : public ::testing::Test {
protected:
    QStringList files() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir dir;
    // In a folder not made yet, as on a first run.
    const QString path = dir.filePath(QStringLiteral("genart/history.txt"));
    std::ostringstream warnings;
};

TEST_F(HistoryFileTest, KeepsWhatItWroteForTheNextRun)
{
    const std::vector<HistoryEntry> entries = someEntries(3);
    {
        HistoryFile first(path, warnings);
        EXPECT_TRUE(first.load().empty()); // no file yet, and nothing to tell
        EXPECT_TRUE(first.save({entries[0]}));
        EXPECT_TRUE(first.save(entries));
    }
    HistoryFile next(path, warnings);
    EXPECT_EQ(next.load(), entries);
    EXPECT_EQ(warnings.str(), "");
    // Only the file itself: each write went through a temporary that took its place.
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("genart"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("history.txt")});
    EXPECT_EQ(contents(path).toStdString(), historyText(entries));

    // Given a list that is not the last one grown, it writes that list and nothing of the old.
    const std::vector<HistoryEntry> others = someEntries(30);
    EXPECT_TRUE(next.save({others[2], others[0]}));
    EXPECT_EQ(contents(path).toStdString(), historyText({others[2], others[0]}));
    EXPECT_TRUE(next.save({others[2], others[0], entries[1]}));
    EXPECT_EQ(HistoryFile(path, warnings).load(), (std::vector<HistoryEntry>{others[2], others[0], entries[1]}));
}

TEST_F(HistoryFileTest, ADamagedFileIsSetAsideAndToldInOneLine)
{
    const std::vector<HistoryEntry> entries = someEntries(4);
    std::string damaged = historyText(entries);
    damaged.resize(damaged.size() / 2); // cut short
    const struct {
        QByteArray contents;
        const char* reason;
    } cases[] = {
        {QByteArray::fromStdString(damaged), "is missing"},
        {QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11), "not a genart history"},
        {QByteArray(), "not a genart history"},
    };
    for (const auto& c : cases) {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("history.txt"));
        put(file, c.contents);
        std::ostringstream told;
        HistoryFile history(file, told);
        EXPECT_TRUE(history.load().empty());

        const std::string line = told.str();
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
        EXPECT_NE(line.find(c.reason), std::string::npos) << line;
        EXPECT_NE(line.find(file.toStdString()), std::string::npos) << line;
        // The damaged file is kept, whole, under a name of its own, and the name is told.
        const QStringList kept = QDir(folder.path()).entryList({QStringLiteral("history.txt.damaged-*")}, QDir::Files);
        ASSERT_EQ(kept.size(), 1) << line;
        EXPECT_NE(line.find(kept[0].toStdString()), std::string::npos) << line;
        EXPECT_EQ(contents(folder.filePath(kept[0])), c.contents);
        EXPECT_FALSE(QFile::exists(file));

        // A new history begins in its place.
        EXPECT_TRUE(history.save({entries[1]}));
        EXPECT_EQ(HistoryFile(file, told).load(), std::vector<HistoryEntry>{entries[1]});
    }
}

TEST_F(HistoryFileTest, AFolderInItsPlaceIsSetAsideToo)
{
    ASSERT_TRUE(QDir().mkpath(path));
    HistoryFile history(path, warnings);
    EXPECT_TRUE(history.load().empty());
    EXPECT_NE(warnings.str().find("it is not a file"), std::string::npos) << warnings.str();
    EXPECT_TRUE(history.save(someEntries(5)));
    EXPECT_EQ(HistoryFile(path, warnings).load(), someEntries(5));
}

TEST_F(HistoryFileTest, AFailedWriteIsToldOnceUntilOneSucceeds)
{
    // The folder the history would go in is a file, so no write can succeed.
    const QString folder = dir.filePath(QStringLiteral("genart"));
    put(folder, "not a folder");
    HistoryFile history(path, warnings);
    EXPECT_FALSE(history.save(someEntries(6)));
    EXPECT_FALSE(history.save(someEntries(6)));
    std::string told = warnings.str();
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
    EXPECT_NE(told.find("cannot be written to " + path.toStdString()), std::string::npos) << told;
    EXPECT_EQ(contents(folder), QByteArray("not a folder"));

    // Once the way is clear it writes again, and a new failure is told again.
    ASSERT_TRUE(QFile::remove(folder));
    EXPECT_TRUE(history.save(someEntries(6)));
    EXPECT_EQ(HistoryFile(path, warnings).load(), someEntries(6));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    put(folder, "not a folder");
    EXPECT_FALSE(history.save(someEntries(6)));
    told = warnings.str();
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 2) << told;
}

} // namespace
} // namespace genart
