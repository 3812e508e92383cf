#include "library/library_schema.h"

#include <charconv>

#include "library/sqlite_connection.h"

namespace genart {
namespace {

constexpr int kSchemaVersion = 1;

} // namespace

void makeSchema(SqliteConnection& connection)
{
    if (connection.singleInteger("PRAGMA user_version") > kSchemaVersion)
        throw SqliteFailure(0, "the library was made by a newer genart");
    connection.execute(R"(
        CREATE TABLE IF NOT EXISTS entries (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            added TEXT NOT NULL,
            name TEXT NOT NULL,
            origin TEXT NOT NULL,
            parents TEXT NOT NULL DEFAULT '',
            formula INTEGER NOT NULL,
            favourite INTEGER NOT NULL DEFAULT 0,
            removed INTEGER,
            recipe TEXT NOT NULL,
            strip TEXT NOT NULL
        );
        CREATE INDEX IF NOT EXISTS live_entries ON entries (id) WHERE removed IS NULL;
        CREATE INDEX IF NOT EXISTS live_favourites ON entries (id) WHERE removed IS NULL AND favourite = 1;
        CREATE INDEX IF NOT EXISTS live_formulas ON entries (formula, id) WHERE removed IS NULL;
        CREATE TABLE IF NOT EXISTS done_once (what TEXT PRIMARY KEY, at TEXT NOT NULL);
    )");
    // The number of entries shown, kept by the database itself so that counting is one read.
    connection.execute(R"(
        CREATE TABLE IF NOT EXISTS tally (live INTEGER NOT NULL);
        INSERT INTO tally SELECT (SELECT count(*) FROM entries WHERE removed IS NULL)
            WHERE NOT EXISTS (SELECT 1 FROM tally);
        CREATE TRIGGER IF NOT EXISTS tally_added AFTER INSERT ON entries WHEN new.removed IS NULL
            BEGIN UPDATE tally SET live = live + 1; END;
        CREATE TRIGGER IF NOT EXISTS tally_purged AFTER DELETE ON entries WHEN old.removed IS NULL
            BEGIN UPDATE tally SET live = live - 1; END;
        CREATE TRIGGER IF NOT EXISTS tally_removed AFTER UPDATE OF removed ON entries
            BEGIN UPDATE tally SET live = live + (new.removed IS NULL) - (old.removed IS NULL); END;
    )");
    if (connection.singleInteger("PRAGMA user_version") < kSchemaVersion)
        connection.execute(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
}

LibraryResult<LibraryEntry> entryFrom(const Statement& row)
{
    LibraryEntry entry;
    entry.id = row.integer(0);
    entry.added = row.text(1);
    entry.origin = row.text(2);
    entry.parents = parentsFrom(row.text(3));
    entry.favourite = row.integer(4) != 0;
    auto shown = parseHistoryEntry(row.text(5) + row.text(6));
    if (const auto* error = std::get_if<RecipeError>(&shown))
        return LibraryError{"entry " + std::to_string(entry.id) + " cannot be read: " + error->message};
    entry.shown = std::get<HistoryEntry>(std::move(shown));
    return entry;
}

void insertEntry(SqliteConnection& connection, const NewEntry& entry, std::int64_t id, bool favourite)
{
    const std::string recipe = recipeText(entry.shown.picture);
    const std::string whole = historyEntryText(entry.shown);
    Statement insert(connection.handle(),
                     "INSERT INTO entries (id, added, name, origin, parents, formula, favourite, recipe, strip) "
                     "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?9, ?7, ?8)");
    if (id > 0)
        insert.bind(1, id);
    else
        insert.bindNull(1);
    insert.bind(2, entry.added.empty() ? timeNowIso8601() : entry.added)
        .bind(3, entry.shown.picture.imeslike)
        .bind(4, entry.origin)
        .bind(5, parentsText(entry.parents))
        .bind(6, static_cast<std::int64_t>(entry.shown.picture.picture.tip1))
        .bind(7, recipe)
        .bind(8, whole.substr(recipe.size()))
        .bind(9, std::int64_t{favourite});
    insert.run();
}

std::string parentsText(const std::vector<std::int64_t>& parents)
{
    std::string text;
    // Appended piece by piece: GCC 12's optimised build warns falsely (-Wrestrict) about
    // adding a literal to a string.
    for (const std::int64_t parent : parents) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(parent);
    }
    return text;
}

std::vector<std::int64_t> parentsFrom(const std::string& text)
{
    std::vector<std::int64_t> parents;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    while (at < end) {
        std::int64_t parent = 0;
        const auto [next, error] = std::from_chars(at, end, parent);
        if (error == std::errc())
            parents.push_back(parent);
        at = next == at ? at + 1 : next;
    }
    return parents;
}

} // namespace genart
