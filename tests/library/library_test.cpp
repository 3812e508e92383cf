#include <cstdio>
#include <filesystem>
#include <fstream>
// GCC 12 warns falsely that std::regex's inner std::function may be used uninitialised when built
// with AddressSanitizer; nothing of this file's own is concerned.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "library/history_import.h"
#include "library/library.h"
#include "support/sample_entries.h"

namespace genart {
namespace {

namespace fs = std::filesystem;
using testing::drawnEntries;
using testing::namedEntries;
using testing::newEntry;

template <class T>
T value(LibraryResult<T> result)
{
    if (const auto* error = std::get_if<LibraryError>(&result)) {
        ADD_FAILURE() << error->message;
        return T{};
    }
    return std::get<T>(std::move(result));
}

template <class T>
std::string errorOf(const LibraryResult<T>& result)
{
    const auto* error = std::get_if<LibraryError>(&result);
    return error ? error->message : "(no error)";
}

std::string fileBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// As the command line opens it: nothing made, nothing set aside, nothing kept in memory.
LibraryOptions commandLineWay()
{
    LibraryOptions options;
    options.create = false;
    options.setAsideDamage = false;
    options.fallBackToMemory = false;
    return options;
}

class LibraryFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("genart-library-" + std::to_string(::getpid()) + "-"
                                              + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        path = (folder / "data" / "library.sqlite").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    std::unique_ptr<Library> open(const LibraryOptions& options = {})
    {
        auto library = Library::open(path, options);
        if (const auto* error = std::get_if<LibraryError>(&library)) {
            ADD_FAILURE() << error->message;
            return Library::inMemory();
        }
        return std::get<std::unique_ptr<Library>>(std::move(library));
    }

    std::vector<fs::path> setAsideFiles() const
    {
        std::vector<fs::path> found;
        for (const auto& file : fs::directory_iterator(fs::path(path).parent_path()))
            if (file.path().filename().string().find(".damaged-") != std::string::npos)
                found.push_back(file.path());
        return found;
    }

    fs::path folder;
    std::string path;
    const std::vector<HistoryEntry> drawn = drawnEntries(31);
};

TEST_F(LibraryFile, KeepsEveryEntryInTheOrderAddedWithHowItWasMade)
{
    std::vector<std::int64_t> ids;
    {
        auto library = open();
        EXPECT_TRUE(library->takeNotices().empty());
        ids.push_back(value(library->add(newEntry(drawn[0], origins::kStart))));
        for (std::size_t n = 1; n < drawn.size(); ++n)
            ids.push_back(value(library->add(newEntry(drawn[n], origins::kCommand, {ids.back()}))));
        ids.push_back(value(library->add(newEntry(drawn[1], origins::kMix, {ids[1], ids[3]}))));
    }
    auto library = open(); // as the next run finds it
    ASSERT_EQ(value(library->count()), 5);
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    for (std::size_t n = 0; n < ids.size(); ++n) {
        EXPECT_EQ(value(library->positionOf(ids[n])), static_cast<std::int64_t>(n));
        EXPECT_EQ(value(library->idAt(static_cast<std::int64_t>(n))), ids[n]);
    }
    const LibraryEntry mix = value(library->entry(ids[4]));
    EXPECT_EQ(mix.shown, drawn[1]);
    EXPECT_EQ(mix.origin, "mix");
    EXPECT_EQ(mix.parents, (std::vector<std::int64_t>{ids[1], ids[3]}));
    EXPECT_FALSE(mix.favourite);
    EXPECT_TRUE(std::regex_match(mix.added, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)"))) << mix.added;
    EXPECT_EQ(value(library->entry(ids[0])).origin, "start");
    // The strip after "change palette" is kept apart from the picture's own palette.
    ASSERT_NE(drawn[2].strip, drawn[2].picture.palette);
    EXPECT_EQ(value(library->entry(ids[2])).shown, drawn[2]);

    // Walking in the order added, to either end.
    EXPECT_EQ(value(library->previous(ids[0])), std::nullopt);
    EXPECT_EQ(value(library->next(ids[1])), ids[2]);
    EXPECT_EQ(value(library->previous(ids[2])), ids[1]);
    EXPECT_EQ(value(library->next(ids[4])), std::nullopt);
    EXPECT_EQ(value(library->newest()), ids[4]);
    EXPECT_EQ(value(library->idAt(5)), std::nullopt);

    // Several by id, in the order asked; one that is not there is the error, naming it.
    const auto some = value(library->entries({ids[3], ids[0]}));
    ASSERT_EQ(some.size(), 2u);
    EXPECT_EQ(some[0].id, ids[3]);
    EXPECT_EQ(errorOf(library->entries({ids[0], 999})), "no entry 999");
    EXPECT_EQ(errorOf(library->positionOf(999)), "no entry 999");
}

TEST_F(LibraryFile, PositionsFollowWhatOtherWritersChange)
{
    LibraryOptions window;
    window.flushInBackground = true; // as a window opens it
    auto library = open(window);
    auto other = open();
    std::vector<std::int64_t> ids;
    for (const HistoryEntry& entry : namedEntries(drawn, 6))
        ids.push_back(value(library->add(newEntry(entry))));
    EXPECT_EQ(value(library->positionOf(ids[5])), 5);
    EXPECT_EQ(value(library->previous(ids[5])), ids[4]);
    EXPECT_EQ(value(library->positionOf(ids[4])), 4);

    // Another window removes an earlier entry and adds one: the places move, the count grows.
    ASSERT_FALSE(other->remove({ids[1]}));
    const auto theirs = value(other->add(newEntry(drawn[0])));
    EXPECT_EQ(value(library->positionOf(ids[4])), 3);
    EXPECT_EQ(value(library->next(ids[4])), ids[5]);
    EXPECT_EQ(value(library->positionOf(ids[5])), 4);
    EXPECT_EQ(value(library->count()), 6);
    const auto mine = value(library->add(newEntry(drawn[1])));
    EXPECT_GT(mine, theirs);
    EXPECT_EQ(value(library->positionOf(mine)), 6);
    EXPECT_EQ(value(other->positionOf(mine)), 6);
    library->waitUntilDurable();
}

TEST_F(LibraryFile, PagesAreNewestFirstAndFiltered)
{
    auto library = open();
    const std::vector<HistoryEntry> many = namedEntries(drawn, 30);
    std::vector<NewEntry> toAdd;
    for (const HistoryEntry& entry : many)
        toAdd.push_back(newEntry(entry));
    const auto ids = value(library->addAll(toAdd));
    ASSERT_EQ(ids.size(), 30u);
    ASSERT_FALSE(library->setFavourite({ids[2], ids[7], ids[29]}, true));

    const auto first = value(library->page({}, 0, 10));
    ASSERT_EQ(first.size(), 10u);
    EXPECT_EQ(first.front().id, ids[29]);
    EXPECT_EQ(first.front().name, many[29].picture.imeslike);
    EXPECT_EQ(first.front().recipe, recipeText(many[29].picture));
    EXPECT_TRUE(first.front().favourite);
    EXPECT_EQ(value(library->page({}, 25, 10)).size(), 5u);
    EXPECT_EQ(value(library->page({}, 25, 10)).back().id, ids[0]);

    EntryFilter favourites;
    favourites.favouritesOnly = true;
    EXPECT_EQ(value(library->count(favourites)), 3);
    std::vector<std::int64_t> favouriteIds;
    for (const EntrySummary& summary : value(library->page(favourites, 0, 100)))
        favouriteIds.push_back(summary.id);
    EXPECT_EQ(favouriteIds, (std::vector<std::int64_t>{ids[29], ids[7], ids[2]}));
    EXPECT_EQ(value(library->ids(favourites)), (std::vector<std::int64_t>{ids[2], ids[7], ids[29]}));

    const int formula = static_cast<int>(many[0].picture.picture.tip1);
    std::int64_t expected = 0;
    for (const HistoryEntry& entry : many)
        expected += static_cast<int>(entry.picture.picture.tip1) == formula ? 1 : 0;
    EntryFilter byFormula;
    byFormula.formula = formula;
    EXPECT_EQ(value(library->count(byFormula)), expected);
    for (const EntrySummary& summary : value(library->page(byFormula, 0, 100)))
        EXPECT_EQ(summary.formula, formula);
    std::int64_t taken = 0;
    EXPECT_EQ(value(library->forEach(byFormula, [&](const LibraryEntry& entry) {
                  ++taken;
                  EXPECT_EQ(static_cast<int>(entry.shown.picture.picture.tip1), formula);
              })),
              0);
    EXPECT_EQ(taken, expected);
}

TEST_F(LibraryFile, FavouritesAndRemovalsChangeAllOrNothingAndRemovalsCanBeTakenBack)
{
    auto library = open();
    std::vector<std::int64_t> ids;
    for (const HistoryEntry& entry : drawn)
        ids.push_back(value(library->add(newEntry(entry))));
    const std::uint64_t before = library->changeCount();

    // A bad id anywhere changes nothing.
    EXPECT_EQ(library->setFavourite({ids[0], 77}, true)->message, "no entry 77");
    EXPECT_FALSE(value(library->entry(ids[0])).favourite);
    EXPECT_FALSE(library->setFavourite({ids[0]}, true));
    EXPECT_TRUE(value(library->entry(ids[0])).favourite);
    EXPECT_FALSE(library->setFavourite({ids[0]}, false));
    EXPECT_FALSE(value(library->entry(ids[0])).favourite);
    EXPECT_GT(library->changeCount(), before);

    EXPECT_FALSE(library->remove({ids[1], ids[2]}));
    EXPECT_EQ(value(library->count()), 2);
    EXPECT_EQ(value(library->next(ids[0])), ids[3]);
    EXPECT_EQ(value(library->positionOf(ids[3])), 1);
    EXPECT_EQ(errorOf(library->entry(ids[1])), "no entry " + std::to_string(ids[1]));
    EXPECT_EQ(library->remove({ids[1]})->message, "no entry " + std::to_string(ids[1]));
    EXPECT_EQ(library->purge({ids[3]})->message, "no removed entry " + std::to_string(ids[3]));

    EXPECT_FALSE(library->restore({ids[1]}));
    EXPECT_FALSE(library->purge({ids[2]}));
    EXPECT_EQ(value(library->count()), 3);
    EXPECT_EQ(value(library->entry(ids[1])).shown, drawn[1]);
    EXPECT_EQ(library->restore({ids[2]})->message, "no removed entry " + std::to_string(ids[2]));
    // A purged id is never given again.
    EXPECT_GT(value(library->add(newEntry(drawn[0]))), ids.back());
}

TEST_F(LibraryFile, TheOldHistoryIsCarriedOverOnceInOrderAndItsDamagedEntriesSkipped)
{
    const std::vector<HistoryEntry> old = namedEntries(drawn, 6);
    std::string text = historyText(old);
    // Entry 3 damaged with bytes no terminal should see; a stray line before the first entry.
    const std::size_t third = text.find("picture.tip1=", text.find("imeslike=" + old[2].picture.imeslike));
    text.replace(third, text.find('\n', third) - third, "picture.tip1=\x1b[31m\x07");
    text.insert(text.find('\n') + 1, "stray\x1b]0;title\x07\n");
    const fs::path historyPath = folder / "data" / "history.txt";
    fs::create_directories(historyPath.parent_path());
    std::ofstream(historyPath, std::ios::binary) << text;

    auto library = open();
    const HistoryImport report = importOldHistory(*library, historyPath.string());
    EXPECT_EQ(report.imported, 5);
    EXPECT_EQ(report.skipped, 2u);
    EXPECT_EQ(report.notice.find('\x1b'), std::string::npos) << report.notice;
    EXPECT_NE(report.notice.find("5 pictures"), std::string::npos) << report.notice;
    std::vector<HistoryEntry> kept;
    library->forEach({}, [&](const LibraryEntry& entry) {
        kept.push_back(entry.shown);
        EXPECT_EQ(entry.origin, "history");
    });
    EXPECT_EQ(kept, (std::vector<HistoryEntry>{old[0], old[1], old[3], old[4], old[5]}));

    // Once: a second window, or the next start, adds nothing; the file stays as it was.
    auto other = open();
    EXPECT_EQ(importOldHistory(*other, historyPath.string()).notice, "");
    EXPECT_EQ(value(library->count()), 5);
    EXPECT_EQ(fileBytes(historyPath), text);
}

TEST_F(LibraryFile, AFileThatIsNoLibraryIsSetAsideWholeAndANewOneBegins)
{
    fs::create_directories(fs::path(path).parent_path());
    const std::string garbage(10000, 'x');
    std::ofstream(path, std::ios::binary) << garbage;

    // The command line's way: told, the file left alone.
    EXPECT_EQ(errorOf(Library::open(path, commandLineWay())),
              "the library " + path + " cannot be opened: file is not a database");
    EXPECT_EQ(fileBytes(path), garbage);

    auto library = open();
    const auto notices = library->takeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("is damaged (file is not a database); it was set aside as"), std::string::npos)
        << notices[0];
    const auto aside = setAsideFiles();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(fileBytes(aside[0]), garbage);
    EXPECT_GT(value(library->add(newEntry(drawn[0]))), 0);
    EXPECT_EQ(value(library->count()), 1);
}

// Overwrites `pages` pages of the file from page `first` with bytes that are no b-tree page.
void damagePages(const std::string& path, std::int64_t first, std::int64_t pages)
{
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(first * 4096);
    const std::string junk(static_cast<std::size_t>(pages) * 4096, '\xa5');
    file.write(junk.data(), static_cast<std::streamsize>(junk.size()));
}

TEST_F(LibraryFile, ADamagedPartLosesOnlyItsOwnEntriesTheRestIsCarriedIntoANewLibrary)
{
    const std::vector<HistoryEntry> many = namedEntries(drawn, 400);
    {
        auto library = open();
        std::vector<NewEntry> toAdd;
        for (const HistoryEntry& entry : many)
            toAdd.push_back(newEntry(entry));
        value(library->addAll(toAdd));
        ASSERT_FALSE(library->setFavourite({5}, true));
    }
    // Closing the last connection wrote the log into the file; damage some pages in its middle.
    const auto size = static_cast<std::int64_t>(fs::file_size(path));
    damagePages(path, size / 4096 / 2, 3);

    auto library = open();
    std::int64_t seen = 0;
    library->forEach({}, [&](const LibraryEntry&) { ++seen; }); // meets the damage
    const auto notices = library->takeNotices();
    ASSERT_EQ(notices.size(), 1u);
    const std::regex told(R"(The library .* is damaged \(.*\); it was set aside as .*\.damaged-\d{8}T\d{6} and (\d+) pictures were carried into a new one \((\d+) could not be read\)\.)");
    std::smatch numbers;
    ASSERT_TRUE(std::regex_match(notices[0], numbers, told)) << notices[0];
    const std::int64_t carried = std::stoll(numbers[1]);
    EXPECT_GT(carried, 350);
    EXPECT_LT(carried, 400);
    EXPECT_EQ(carried + std::stoll(numbers[2]), 400);
    EXPECT_EQ(value(library->count()), carried);
    EXPECT_TRUE(value(library->entry(5)).favourite);
    // Ids and order are kept: each entry carried is the one added with that id.
    library->forEach({}, [&](const LibraryEntry& entry) {
        EXPECT_EQ(entry.shown, many[static_cast<std::size_t>(entry.id - 1)]) << entry.id;
    });
    ASSERT_EQ(setAsideFiles().size(), 1u);
    EXPECT_GT(value(library->add(newEntry(drawn[0]))), 400);
}

TEST_F(LibraryFile, ALockedLibraryKeepsTheEntryWaitingInOrderUntilItCanBeWritten)
{
    LibraryOptions impatient;
    impatient.busyMilliseconds = 50;
    auto library = open(impatient);
    const auto first = value(library->add(newEntry(drawn[0])));

    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(errorOf(library->add(newEntry(drawn[1]))),
              "the picture cannot be kept in the library: database is locked; kept in memory until it can be written");
    EXPECT_EQ(library->waiting(), 1u);
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);

    const auto third = value(library->add(newEntry(drawn[2])));
    EXPECT_EQ(library->waiting(), 0u);
    EXPECT_EQ(value(library->count()), 3);
    EXPECT_EQ(value(library->next(first)), first + 1);
    EXPECT_EQ(value(library->entry(first + 1)).shown, drawn[1]);
    EXPECT_EQ(third, first + 2);
}

TEST_F(LibraryFile, WithoutCreateAMissingLibraryIsAnErrorAndNothingIsMade)
{
    EXPECT_EQ(errorOf(Library::open(path, commandLineWay())),
              "there is no library at " + path);
    EXPECT_FALSE(fs::exists(fs::path(path).parent_path()));
}

} // namespace
} // namespace genart
