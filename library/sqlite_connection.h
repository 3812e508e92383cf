#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace genart {

// A failure of SQLite, with its result code and one line in the system's words where the
// system gave the reason ("No space left on device"), SQLite's own otherwise.
class SqliteFailure : public std::runtime_error {
public:
    SqliteFailure(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; } // the primary result code, SQLITE_FULL, SQLITE_BUSY, …
    // The file is not a database, or parts of it cannot be read as one.
    bool damaged() const;

private:
    int code_;
};

// One prepared statement; reset and bound again for each use.
class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, const std::string& value);
    Statement& bindNull(int index);
    // The next row: true while there is one. Throws SqliteFailure.
    bool step();
    // Runs it to the end, for statements that return no rows.
    void run();
    void reset();
    int parameterCount() const;

    std::int64_t integer(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

// An open database connection, closed with the object.
class SqliteConnection {
public:
    // Opens (and creates, if asked) the file; ":memory:" is a database in memory.
    SqliteConnection(const std::string& path, bool create, bool readOnly = false);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    sqlite3* handle() const { return db_; }
    // Runs statements that return no rows.
    void execute(const char* sql);
    std::int64_t singleInteger(const char* sql);
    std::int64_t lastInsertId() const;
    // Throws the connection's last failure as SqliteFailure.
    [[noreturn]] void fail(int code) const;

private:
    sqlite3* db_ = nullptr;
};

// What SQLite says about `code` on `db`, in the system's words where the system gave a reason.
std::string sqliteReason(sqlite3* db, int code);

// A transaction that rolls back unless committed; IMMEDIATE takes the write lock at once, so
// two writers wait for each other (up to the busy timeout) instead of failing half-way.
class Transaction {
public:
    explicit Transaction(SqliteConnection& connection, bool write = true);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    SqliteConnection& connection_;
    bool open_ = true;
};

} // namespace genart
