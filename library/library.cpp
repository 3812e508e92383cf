#include "library/library.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <thread>
#include <utility>
#include <unistd.h>

#include <sqlite3.h>

#include "library/library_location.h"
#include "library/library_schema.h"
#include "library/log_flusher.h"
#include "library/salvage.h"
#include "library/sqlite_connection.h"

namespace genart {
namespace {

// Entries removed by a window that never closed (it was killed) go for good after a day.
constexpr std::int64_t kForgottenRemovalSeconds = 24 * 60 * 60;

std::int64_t secondsNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// The settings every connection to a library file takes, then its tables.
void prepare(SqliteConnection& connection, const LibraryOptions& options, bool file)
{
    sqlite3_busy_timeout(connection.handle(), options.busyMilliseconds);
    if (file) {
        // The write-ahead log lets readers go on while one writer adds; every commit reaches the
        // disk before it returns, so nothing committed is lost to a kill or a power cut.
        Statement mode(connection.handle(), "PRAGMA journal_mode");
        if (!mode.step() || mode.text(0) != "wal") {
            mode.reset();
            connection.execute("PRAGMA journal_mode = WAL");
        }
        connection.execute(options.flushInBackground ? "PRAGMA synchronous = NORMAL" : "PRAGMA synchronous = FULL");
    }
    Transaction transaction(connection);
    makeSchema(connection);
    Statement forget(connection.handle(), "DELETE FROM entries WHERE removed IS NOT NULL AND removed < ?1");
    forget.bind(1, secondsNow() - kForgottenRemovalSeconds).run();
    transaction.commit();
}

std::optional<LibraryError> readBackProblem(const NewEntry& entry)
{
    const auto back = parseHistoryEntry(historyEntryText(entry.shown));
    if (const auto* error = std::get_if<RecipeError>(&back))
        return LibraryError{"the picture cannot be kept in the library: its recipe does not read back ("
                            + error->message + ")"};
    return std::nullopt;
}

// Why the file cannot be written, in the system's words.
std::string notWritable(const std::string& path)
{
    if (::access(path.c_str(), W_OK) != 0)
        return std::error_code(errno, std::generic_category()).message();
    return "attempt to write a readonly database";
}

// A connection to the file, its settings made and its tables there. Two windows that make a
// new library at the same moment may find each other changing it to a write-ahead log, which
// SQLite answers at once with "database is locked" rather than wait: that is tried again for as
// long as a writer waits for another.
std::unique_ptr<SqliteConnection> connectWhenFree(const std::string& path, const LibraryOptions& options)
{
    const auto givingUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.busyMilliseconds);
    while (true) {
        try {
            auto connection = std::make_unique<SqliteConnection>(path, options.create);
            if (sqlite3_db_readonly(connection->handle(), "main") == 1)
                throw SqliteFailure(SQLITE_READONLY, notWritable(path));
            prepare(*connection, options, true);
            return connection;
        } catch (const SqliteFailure& failure) {
            if (failure.code() != SQLITE_BUSY || std::chrono::steady_clock::now() > givingUp)
                throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// The WHERE clause a filter takes; the formula, if any, is parameter 9.
std::string where(const EntryFilter& filter)
{
    std::string clause = " WHERE removed IS NULL";
    if (filter.favouritesOnly)
        clause += " AND favourite = 1";
    if (filter.formula)
        clause += " AND formula = ?9";
    return clause;
}

void bindFilter(Statement& statement, const EntryFilter& filter)
{
    if (filter.formula)
        statement.bind(9, static_cast<std::int64_t>(*filter.formula));
}

std::string noEntry(std::int64_t id)
{
    return "no entry " + std::to_string(id);
}

// A result of work that can itself fail, as one result.
template <class T>
LibraryResult<T> flattened(LibraryResult<LibraryResult<T>>&& result)
{
    if (auto* error = std::get_if<LibraryError>(&result))
        return *error;
    return std::get<LibraryResult<T>>(std::move(result));
}

} // namespace

Library::Library(std::unique_ptr<SqliteConnection> connection, std::string path, LibraryOptions options)
    : connection_(std::move(connection)), path_(std::move(path)), options_(options)
{
}

Library::~Library() = default;

void Library::useFile(std::unique_ptr<SqliteConnection> connection)
{
    connection_ = std::move(connection);
    if (options_.flushInBackground)
        flusher_ = std::make_unique<LogFlusher>(path_);
}

void Library::committed()
{
    ++ownChanges_;
    if (flusher_)
        flusher_->flushSoon();
}

void Library::waitUntilDurable()
{
    if (flusher_)
        flusher_->waitUntilFlushed();
}

LibraryResult<std::unique_ptr<Library>> Library::openForCommand(bool create)
{
    const std::string path = defaultLibraryPath();
    if (path.empty())
        return LibraryError{"there is no data folder for the library (neither XDG_DATA_HOME nor HOME is set)"};
    LibraryOptions options;
    options.create = create;
    options.setAsideDamage = false;
    options.fallBackToMemory = false;
    return open(path, options);
}

std::unique_ptr<Library> Library::inMemory()
{
    auto connection = std::make_unique<SqliteConnection>(":memory:", true);
    prepare(*connection, {}, false);
    return std::unique_ptr<Library>(new Library(std::move(connection), std::string(), {}));
}

LibraryResult<std::unique_ptr<Library>> Library::open(const std::string& path, const LibraryOptions& options)
{
    std::error_code error;
    const bool exists = std::filesystem::exists(path, error);
    std::string why;
    if (!exists && !options.create)
        return LibraryError{"there is no library at " + path};
    if (!exists && !std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error) && error)
        why = error.message();
    if (why.empty()) {
        try {
            std::unique_ptr<Library> library(new Library(nullptr, path, options));
            library->useFile(connectWhenFree(path, options));
            return library;
        } catch (const SqliteFailure& failure) {
            if (failure.damaged() && options.setAsideDamage) {
                std::unique_ptr<Library> library(new Library(nullptr, path, options));
                library->recover(failure);
                return library;
            }
            why = failure.what();
        }
    }
    if (!options.fallBackToMemory)
        return LibraryError{"the library " + path + " cannot be opened: " + why};
    auto library = inMemory();
    library->options_ = options;
    library->notices_.push_back("The library " + path + " cannot be opened (" + why
                                + "); this window's pictures are kept only until it closes.");
    return library;
}

std::vector<std::string> Library::takeNotices()
{
    return std::exchange(notices_, {});
}

template <class Work>
auto Library::guarded(const char* what, Work work) -> LibraryResult<decltype(work())>
{
    for (int attempt = 0;; ++attempt) {
        try {
            return work();
        } catch (const SqliteFailure& failure) {
            if (failure.damaged() && options_.setAsideDamage && attempt == 0 && !path_.empty()) {
                recover(failure);
                continue;
            }
            return LibraryError{std::string(what) + ": " + failure.what()};
        }
    }
}

void Library::recover(const SqliteFailure& failure)
{
    flusher_.reset();
    connection_.reset();
    known_.clear();
    const std::string aside = setAside(path_);
    std::string told = "The library " + path_ + " is damaged (" + failure.what() + ")";
    try {
        if (aside.empty())
            throw SqliteFailure(SQLITE_CANTOPEN, "it could not be set aside");
        auto fresh = std::make_unique<SqliteConnection>(path_, true);
        prepare(*fresh, options_, true);
        const Salvage salvage = salvageEntries(aside, *fresh);
        useFile(std::move(fresh));
        told += "; it was set aside as " + aside + " and " + std::to_string(salvage.carried)
            + " pictures were carried into a new one";
        if (salvage.lost > 0)
            told += " (" + std::to_string(salvage.lost) + " could not be read)";
        committed();
    } catch (const SqliteFailure& again) {
        connection_ = std::make_unique<SqliteConnection>(":memory:", true);
        prepare(*connection_, {}, false);
        path_.clear();
        told += std::string(" and a new one cannot be made (") + again.what()
            + "); this window's pictures are kept only until it closes";
    }
    notices_.push_back(told + '.');
}

LibraryResult<std::int64_t> Library::add(const NewEntry& entry)
{
    if (auto problem = readBackProblem(entry))
        return *problem; // never to be written: not kept waiting either
    NewEntry dated = entry;
    if (dated.added.empty())
        dated.added = timeNowIso8601();
    auto added = addAll({dated});
    if (const auto* error = std::get_if<LibraryError>(&added)) {
        waiting_.push_back(std::move(dated));
        return LibraryError{error->message + "; kept in memory until it can be written"};
    }
    return std::get<std::vector<std::int64_t>>(added).front();
}

LibraryResult<std::vector<std::int64_t>> Library::addAll(const std::vector<NewEntry>& entries)
{
    // Only what reads back is kept: an entry the library could not show again is no entry.
    for (const NewEntry& entry : entries)
        if (const auto problem = readBackProblem(entry))
            return *problem;
    return guarded("the picture cannot be kept in the library", [&] {
        Transaction transaction(*connection_);
        for (const NewEntry& waiting : waiting_)
            insertEntry(*connection_, waiting);
        // Each new entry is the newest when committed: its position is the count before it.
        const std::int64_t before = connection_->singleInteger("SELECT live FROM tally");
        std::vector<std::int64_t> ids;
        for (const NewEntry& entry : entries) {
            insertEntry(*connection_, entry);
            ids.push_back(connection_->lastInsertId());
        }
        transaction.commit();
        waiting_.clear();
        committed();
        if (!ids.empty())
            know(ids.back(), before + static_cast<std::int64_t>(ids.size()) - 1);
        return ids;
    });
}

LibraryResult<bool> Library::addOnce(const std::string& once, const std::vector<NewEntry>& entries)
{
    return guarded("the pictures cannot be kept in the library", [&] {
        Transaction transaction(*connection_);
        Statement done(connection_->handle(), "INSERT OR IGNORE INTO done_once (what, at) VALUES (?1, ?2)");
        done.bind(1, once).bind(2, timeNowIso8601()).run();
        if (sqlite3_changes(connection_->handle()) == 0)
            return false;
        for (const NewEntry& entry : entries)
            insertEntry(*connection_, entry);
        transaction.commit();
        committed();
        return true;
    });
}

bool Library::recorded(const std::string& once)
{
    const auto found = guarded("the library cannot be read", [&] {
        Statement done(connection_->handle(), "SELECT 1 FROM done_once WHERE what = ?1");
        return done.bind(1, once).step();
    });
    return std::holds_alternative<bool>(found) && std::get<bool>(found);
}

LibraryResult<std::int64_t> Library::count(const EntryFilter& filter)
{
    return guarded("the library cannot be read", [&] {
        if (filter == EntryFilter{})
            return connection_->singleInteger("SELECT live FROM tally");
        Statement count(connection_->handle(), ("SELECT count(*) FROM entries" + where(filter)).c_str());
        bindFilter(count, filter);
        count.step();
        return count.integer(0);
    });
}

std::optional<std::int64_t> Library::knownPosition(std::int64_t id)
{
    if (knownAt_ != changeCount())
        known_.clear();
    for (const KnownPosition& known : known_)
        if (known.id == id)
            return known.position;
    return std::nullopt;
}

void Library::know(std::int64_t id, std::int64_t position)
{
    constexpr std::size_t kKnown = 8; // the entry shown and its neighbours, a few times over
    const std::uint64_t change = changeCount();
    if (knownAt_ != change)
        known_.clear();
    knownAt_ = change;
    known_.push_front({id, position});
    if (known_.size() > kKnown)
        known_.pop_back();
}

LibraryResult<std::int64_t> Library::positionOf(std::int64_t id)
{
    if (const auto position = knownPosition(id))
        return *position;
    return flattened(guarded("the library cannot be read", [&]() -> LibraryResult<std::int64_t> {
        Statement before(connection_->handle(),
                         "SELECT count(*), (SELECT count(*) FROM entries WHERE id = ?1 AND removed IS NULL) "
                         "FROM entries WHERE removed IS NULL AND id < ?1");
        before.bind(1, id).step();
        if (before.integer(1) != 1)
            return LibraryError{noEntry(id)};
        know(id, before.integer(0));
        return before.integer(0);
    }));
}

LibraryResult<std::optional<std::int64_t>> Library::idAt(std::int64_t position)
{
    return guarded("the library cannot be read", [&]() -> std::optional<std::int64_t> {
        Statement at(connection_->handle(),
                     "SELECT id FROM entries WHERE removed IS NULL ORDER BY id LIMIT 1 OFFSET ?1");
        if (position < 0 || !at.bind(1, position).step())
            return std::nullopt;
        return at.integer(0);
    });
}

namespace {

std::optional<std::int64_t> oneId(SqliteConnection& connection, const char* sql, std::int64_t id)
{
    Statement query(connection.handle(), sql);
    query.bind(1, id).step();
    if (query.isNull(0))
        return std::nullopt;
    return query.integer(0);
}

} // namespace

LibraryResult<std::optional<std::int64_t>> Library::previous(std::int64_t id)
{
    return step(id, -1, "SELECT max(id) FROM entries WHERE removed IS NULL AND id < ?1");
}

LibraryResult<std::optional<std::int64_t>> Library::next(std::int64_t id)
{
    return step(id, +1, "SELECT min(id) FROM entries WHERE removed IS NULL AND id > ?1");
}

LibraryResult<std::optional<std::int64_t>> Library::step(std::int64_t id, int by, const char* sql)
{
    const auto position = knownPosition(id);
    auto found = guarded("the library cannot be read", [&] { return oneId(*connection_, sql, id); });
    if (const auto* neighbour = std::get_if<std::optional<std::int64_t>>(&found); neighbour && *neighbour && position)
        know(**neighbour, *position + by);
    return found;
}

LibraryResult<std::optional<std::int64_t>> Library::newest()
{
    return guarded("the library cannot be read", [&] {
        return oneId(*connection_, "SELECT max(id) FROM entries WHERE removed IS NULL AND id > ?1", 0);
    });
}

LibraryResult<bool> Library::isFavourite(std::int64_t id)
{
    return flattened(guarded("the library cannot be read", [&]() -> LibraryResult<bool> {
        Statement read(connection_->handle(), "SELECT favourite FROM entries WHERE id = ?1 AND removed IS NULL");
        if (!read.bind(1, id).step())
            return LibraryError{noEntry(id)};
        return read.integer(0) != 0;
    }));
}

LibraryResult<LibraryEntry> Library::entry(std::int64_t id)
{
    auto found = entries({id});
    if (const auto* error = std::get_if<LibraryError>(&found))
        return *error;
    return std::get<std::vector<LibraryEntry>>(std::move(found)).front();
}

LibraryResult<std::vector<LibraryEntry>> Library::entries(const std::vector<std::int64_t>& ids)
{
    using Found = LibraryResult<std::vector<LibraryEntry>>;
    return flattened(guarded("the library cannot be read", [&]() -> Found {
        Statement read(connection_->handle(), (std::string("SELECT ") + kEntryColumns
                                               + " FROM entries WHERE id = ?1 AND removed IS NULL")
                                                  .c_str());
        std::vector<LibraryEntry> entries;
        for (const std::int64_t id : ids) {
            read.bind(1, id);
            if (!read.step())
                return LibraryError{noEntry(id)};
            auto entry = entryFrom(read);
            read.reset();
            if (auto* error = std::get_if<LibraryError>(&entry))
                return *error;
            entries.push_back(std::get<LibraryEntry>(std::move(entry)));
        }
        return entries;
    }));
}

LibraryResult<std::int64_t> Library::forEach(const EntryFilter& filter,
                                             const std::function<void(const LibraryEntry&)>& take)
{
    return guarded("the library cannot be read", [&] {
        Statement read(connection_->handle(),
                       (std::string("SELECT ") + kEntryColumns + " FROM entries" + where(filter) + " ORDER BY id")
                           .c_str());
        bindFilter(read, filter);
        std::int64_t unreadable = 0;
        while (read.step()) {
            const auto entry = entryFrom(read);
            if (const auto* sound = std::get_if<LibraryEntry>(&entry))
                take(*sound);
            else
                ++unreadable;
        }
        return unreadable;
    });
}

LibraryResult<std::vector<std::int64_t>> Library::ids(const EntryFilter& filter)
{
    return guarded("the library cannot be read", [&] {
        Statement read(connection_->handle(), ("SELECT id FROM entries" + where(filter) + " ORDER BY id").c_str());
        bindFilter(read, filter);
        std::vector<std::int64_t> ids;
        while (read.step())
            ids.push_back(read.integer(0));
        return ids;
    });
}

LibraryResult<std::vector<EntrySummary>> Library::page(const EntryFilter& filter, std::int64_t offset,
                                                        std::int64_t limit)
{
    return guarded("the library cannot be read", [&] {
        Statement read(connection_->handle(), ("SELECT id, added, name, formula, favourite, recipe FROM entries"
                                               + where(filter) + " ORDER BY id DESC LIMIT ?1 OFFSET ?2")
                                                  .c_str());
        bindFilter(read, filter);
        read.bind(1, limit).bind(2, offset);
        std::vector<EntrySummary> page;
        while (read.step())
            page.push_back({read.integer(0), read.text(1), read.text(2), static_cast<int>(read.integer(3)),
                            read.integer(4) != 0, read.text(5)});
        return page;
    });
}

std::optional<LibraryError> Library::changeEach(const std::vector<std::int64_t>& ids, const char* sql, bool live)
{
    using Outcome = std::optional<LibraryError>;
    auto changed = guarded("the library cannot be changed", [&]() -> Outcome {
        Transaction transaction(*connection_);
        Statement there(connection_->handle(),
                        live ? "SELECT 1 FROM entries WHERE id = ?1 AND removed IS NULL"
                             : "SELECT 1 FROM entries WHERE id = ?1 AND removed IS NOT NULL");
        Statement change(connection_->handle(), sql);
        for (const std::int64_t id : ids) {
            const bool found = there.bind(1, id).step();
            there.reset();
            if (!found)
                return LibraryError{live ? noEntry(id) : "no removed entry " + std::to_string(id)};
            change.bind(1, id);
            if (change.parameterCount() == 2)
                change.bind(2, secondsNow());
            change.run();
        }
        transaction.commit();
        committed();
        return std::nullopt;
    });
    if (const auto* error = std::get_if<LibraryError>(&changed))
        return *error;
    return std::get<Outcome>(changed);
}

std::optional<LibraryError> Library::setFavourite(const std::vector<std::int64_t>& ids, bool favourite)
{
    return changeEach(ids,
                      favourite ? "UPDATE entries SET favourite = 1 WHERE id = ?1"
                                : "UPDATE entries SET favourite = 0 WHERE id = ?1",
                      true);
}

std::optional<LibraryError> Library::remove(const std::vector<std::int64_t>& ids)
{
    return changeEach(ids, "UPDATE entries SET removed = ?2 WHERE id = ?1", true);
}

std::optional<LibraryError> Library::restore(const std::vector<std::int64_t>& ids)
{
    return changeEach(ids, "UPDATE entries SET removed = NULL WHERE id = ?1", false);
}

std::optional<LibraryError> Library::purge(const std::vector<std::int64_t>& ids)
{
    return changeEach(ids, "DELETE FROM entries WHERE id = ?1", false);
}

std::uint64_t Library::changeCount()
{
    const auto version = guarded("the library cannot be read", [&] {
        return connection_->singleInteger("PRAGMA data_version");
    });
    const std::int64_t others = std::holds_alternative<std::int64_t>(version) ? std::get<std::int64_t>(version) : 0;
    return static_cast<std::uint64_t>(others) + ownChanges_;
}

std::string timeNowIso8601()
{
    return iso8601(std::time(nullptr));
}

std::string iso8601(std::time_t moment)
{
    std::tm local {};
    localtime_r(&moment, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string iso(text);
    if (iso.size() == 24) // +0100 -> +01:00
        iso.insert(22, ":");
    return iso;
}

} // namespace genart
