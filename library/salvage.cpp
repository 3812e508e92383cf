#include "library/salvage.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>

#include "library/library_schema.h"
#include "library/sqlite_connection.h"

namespace genart {
namespace {

// After this many ids in a row that cannot be read, the rest of the file is taken as lost.
constexpr std::int64_t kLongestUnreadableRun = 100000;

std::string stamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%S", &local);
    return text;
}

bool taken(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

// The highest id the damaged file names, from wherever it can still be read.
std::int64_t highestId(SqliteConnection& damaged)
{
    std::int64_t highest = 0;
    for (const char* sql : {"SELECT max(id) FROM entries", "SELECT seq FROM sqlite_sequence WHERE name = 'entries'"}) {
        try {
            highest = std::max(highest, damaged.singleInteger(sql));
        } catch (const SqliteFailure&) {
        }
    }
    return highest;
}

// The first id above `after` that the file can find, if the part of it that leads there is sound.
std::optional<std::int64_t> nextId(SqliteConnection& damaged, std::int64_t after)
{
    Statement next(damaged.handle(), "SELECT min(id) FROM entries WHERE id > ?1 AND removed IS NULL");
    next.bind(1, after).step();
    if (next.isNull(0))
        return std::nullopt;
    return next.integer(0);
}

} // namespace

std::string setAside(const std::string& path)
{
    const std::string base = path + ".damaged-" + stamp();
    std::string aside = base;
    for (int n = 2; taken(aside) || taken(aside + "-wal") || taken(aside + "-shm"); ++n)
        aside = base + '-' + std::to_string(n);
    // The log goes with the file, so opening the damaged copy reads what was committed to it.
    for (const char* suffix : {"-wal", "-shm"})
        if (taken(path + suffix))
            std::rename((path + suffix).c_str(), (aside + suffix).c_str());
    if (std::rename(path.c_str(), aside.c_str()) != 0)
        return {};
    return aside;
}

Salvage salvageEntries(const std::string& damaged, SqliteConnection& into)
{
    Salvage salvage;
    std::optional<SqliteConnection> from;
    std::optional<Statement> read;
    try {
        from.emplace(damaged, false);
        read.emplace(from->handle(), (std::string("SELECT ") + kEntryColumns + " FROM entries WHERE id = ?1").c_str());
    } catch (const SqliteFailure&) {
        return salvage; // not a library at all, or its tables cannot be found
    }
    const std::int64_t highest = highestId(*from);
    Transaction transaction(into);
    std::int64_t id = 0;        // the last id tried
    std::int64_t lastSound = 0; // the last id up to which every entry was carried or counted
    bool failing = false;       // the ids after lastSound are being tried one by one
    for (std::int64_t unreadableRun = 0; unreadableRun < kLongestUnreadableRun;) {
        std::optional<LibraryResult<LibraryEntry>> entry;
        try {
            const auto found = nextId(*from, id);
            if (!found)
                break;
            id = *found;
            if (read->bind(1, id).step())
                entry = entryFrom(*read);
            read->reset();
        } catch (const SqliteFailure&) {
            read->reset();
            // The part of the file that leads past `id` is damaged: the ids are tried one by one,
            // as far as the highest the file names.
            failing = true;
            if (++id > highest)
                break;
            ++unreadableRun;
            continue;
        }
        if (failing)
            salvage.lost += id - lastSound - 1; // every id passed over since was in the damaged part
        failing = false;
        unreadableRun = 0;
        lastSound = id;
        if (const auto* sound = entry ? std::get_if<LibraryEntry>(&*entry) : nullptr) {
            insertEntry(into, {sound->shown, sound->origin, sound->parents, sound->added}, sound->id, sound->favourite);
            ++salvage.carried;
        } else {
            ++salvage.lost;
        }
    }
    if (failing)
        salvage.lost += std::max<std::int64_t>(0, highest - lastSound);
    transaction.commit();
    return salvage;
}

} // namespace genart
