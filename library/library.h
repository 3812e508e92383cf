#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/library_entry.h"

namespace genart {

class LogFlusher;
class SqliteConnection;
class SqliteFailure;

// How a library is opened.
struct LibraryOptions {
    bool create = true; // make the file, and its folder, when missing
    // A damaged file is renamed (path.damaged-<time>, never deleted) and what can still be read
    // of it is carried into a new library at the path. Otherwise a damaged file is an error.
    bool setAsideDamage = true;
    // A file that cannot be opened or made: this run's entries are kept in memory instead.
    bool fallBackToMemory = true;
    // How long a writer waits for another (a window, the command line) to finish.
    int busyMilliseconds = 1500;
    // Commits return once in the write-ahead log, which a thread of the library's own then
    // flushes to the disk (see LogFlusher): for a window, which must not wait for the disk.
    bool flushInBackground = false;
};

// Every picture kept, in one SQLite database that any number of windows and commands read and
// add to at once (write-ahead log, a busy timeout, each change one transaction). Nothing is
// capped; an entry goes only when removed, and a removal can be taken back until it is purged.
// Faults never throw: each call returns a one-line LibraryError, and notices (a damaged file set
// aside, a library kept in memory) wait in takeNotices().
class Library {
public:
    static LibraryResult<std::unique_ptr<Library>> open(const std::string& path, const LibraryOptions& options = {});
    // A library that lasts as long as the object: for a window that keeps nothing.
    static std::unique_ptr<Library> inMemory();
    // The library at its usual place as a command opens it: nothing set aside, nothing kept in
    // memory instead; the file made only when `create` (for what adds to it).
    static LibraryResult<std::unique_ptr<Library>> openForCommand(bool create);
    ~Library();

    // The file; empty while kept in memory.
    const std::string& path() const { return path_; }
    // What happened that the user should hear of, one line each, once.
    std::vector<std::string> takeNotices();

    // Keeps an entry and returns its id. When it cannot be written (a full disk, a library
    // locked too long) it waits in memory, in order, and goes in with the next add that succeeds.
    LibraryResult<std::int64_t> add(const NewEntry& entry);
    // Several at once, in one transaction: all are kept or none.
    LibraryResult<std::vector<std::int64_t>> addAll(const std::vector<NewEntry>& entries);
    // The same, only when `once` has not been recorded by an earlier call; false then.
    LibraryResult<bool> addOnce(const std::string& once, const std::vector<NewEntry>& entries);
    bool recorded(const std::string& once);
    std::size_t waiting() const { return waiting_.size(); }

    // Entries in the order they were added; positions count from 0.
    LibraryResult<std::int64_t> count(const EntryFilter& filter = {});
    LibraryResult<std::int64_t> positionOf(std::int64_t id);
    LibraryResult<std::optional<std::int64_t>> idAt(std::int64_t position);
    LibraryResult<std::optional<std::int64_t>> previous(std::int64_t id);
    LibraryResult<std::optional<std::int64_t>> next(std::int64_t id);
    LibraryResult<std::optional<std::int64_t>> newest();

    // Whether an entry is a favourite, without reading the rest of it.
    LibraryResult<bool> isFavourite(std::int64_t id);
    // An entry by its id: "no entry 17" when there is none (or it was removed).
    LibraryResult<LibraryEntry> entry(std::int64_t id);
    // Several, in the order asked; the first id that is not there is the error.
    LibraryResult<std::vector<LibraryEntry>> entries(const std::vector<std::int64_t>& ids);
    // Every entry the filter takes, oldest first, one at a time. Entries that cannot be read as
    // recipes are counted in the result, not passed on.
    LibraryResult<std::int64_t> forEach(const EntryFilter& filter, const std::function<void(const LibraryEntry&)>& take);
    LibraryResult<std::vector<std::int64_t>> ids(const EntryFilter& filter);
    // `limit` entries from `offset`, newest first.
    LibraryResult<std::vector<EntrySummary>> page(const EntryFilter& filter, std::int64_t offset, std::int64_t limit);

    // Each changes every entry named or none; an id that is not there is the error.
    std::optional<LibraryError> setFavourite(const std::vector<std::int64_t>& ids, bool favourite);
    // Hides the entries; restore() brings them back, purge() ends them for good.
    std::optional<LibraryError> remove(const std::vector<std::int64_t>& ids);
    std::optional<LibraryError> restore(const std::vector<std::int64_t>& ids);
    std::optional<LibraryError> purge(const std::vector<std::int64_t>& ids);

    // Grows whenever anyone's change to the library is committed: a view that saw another
    // number reads again.
    std::uint64_t changeCount();
    // Returns once every change committed so far is on the disk.
    void waitUntilDurable();

private:
    Library(std::unique_ptr<SqliteConnection> connection, std::string path, LibraryOptions options);
    // Runs `work`; a damaged file is set aside and salvaged, and the work tried once more.
    template <class Work>
    auto guarded(const char* what, Work work) -> LibraryResult<decltype(work())>;
    void insert(const NewEntry& entry, std::int64_t id = 0);
    bool flushWaiting();
    void recover(const SqliteFailure& failure);
    std::optional<LibraryError> changeEach(const std::vector<std::int64_t>& ids, const char* sql, bool live);
    void useFile(std::unique_ptr<SqliteConnection> connection);
    LibraryResult<std::optional<std::int64_t>> step(std::int64_t id, int by, const char* sql);
    void committed();
    // The positions of the entries last found, while nobody has changed the library since: a
    // window stepping through 100,000 entries counts them once, not at every step.
    struct KnownPosition {
        std::int64_t id;
        std::int64_t position;
    };
    std::optional<std::int64_t> knownPosition(std::int64_t id);
    void know(std::int64_t id, std::int64_t position);

    std::unique_ptr<SqliteConnection> connection_;
    std::string path_;
    LibraryOptions options_;
    std::deque<NewEntry> waiting_;
    std::vector<std::string> notices_;
    std::uint64_t ownChanges_ = 0;
    std::deque<KnownPosition> known_; // the last found at the front
    std::uint64_t knownAt_ = 0;       // the change count they hold for
    std::unique_ptr<LogFlusher> flusher_;
};

} // namespace genart
