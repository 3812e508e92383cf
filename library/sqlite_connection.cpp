#include "library/sqlite_connection.h"

#include <cerrno>
#include <cstring>

#include <sqlite3.h>

namespace genart {

bool SqliteFailure::damaged() const
{
    return code_ == SQLITE_CORRUPT || code_ == SQLITE_NOTADB;
}

std::string sqliteReason(sqlite3* db, int code)
{
    const int primary = code & 0xff;
    // SQLite's unix layer answers a write that met a full disk with SQLITE_FULL; the system's
    // words for it are the ones a user knows.
    if (primary == SQLITE_FULL)
        return std::strerror(ENOSPC);
    if (db && (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN) && sqlite3_system_errno(db) != 0)
        return std::strerror(sqlite3_system_errno(db));
    if (db)
        return sqlite3_errmsg(db);
    return sqlite3_errstr(code);
}

Statement::Statement(sqlite3* db, const char* sql) : db_(db)
{
    const int code = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
    if (code != SQLITE_OK)
        throw SqliteFailure(code & 0xff, sqliteReason(db, code));
}

Statement::~Statement()
{
    sqlite3_finalize(statement_);
}

Statement& Statement::bind(int index, std::int64_t value)
{
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

Statement& Statement::bind(int index, const std::string& value)
{
    sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindNull(int index)
{
    sqlite3_bind_null(statement_, index);
    return *this;
}

bool Statement::step()
{
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    const std::string reason = sqliteReason(db_, code);
    sqlite3_reset(statement_);
    throw SqliteFailure(code & 0xff, reason);
}

void Statement::run()
{
    while (step()) {
    }
    reset();
}

void Statement::reset()
{
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

int Statement::parameterCount() const
{
    return sqlite3_bind_parameter_count(statement_);
}

std::int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(statement_, column);
}

std::string Statement::text(int column) const
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

SqliteConnection::SqliteConnection(const std::string& path, bool create, bool readOnly)
{
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | (create ? SQLITE_OPEN_CREATE : 0)
        | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    const int code = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        const std::string reason = sqliteReason(db_, code);
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteFailure(code & 0xff, reason);
    }
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close_v2(db_);
}

void SqliteConnection::execute(const char* sql)
{
    const int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        fail(code);
}

std::int64_t SqliteConnection::singleInteger(const char* sql)
{
    Statement statement(db_, sql);
    return statement.step() ? statement.integer(0) : 0;
}

std::int64_t SqliteConnection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(db_);
}

void SqliteConnection::fail(int code) const
{
    throw SqliteFailure(code & 0xff, sqliteReason(db_, code));
}

Transaction::Transaction(SqliteConnection& connection, bool write) : connection_(connection)
{
    connection_.execute(write ? "BEGIN IMMEDIATE" : "BEGIN");
}

Transaction::~Transaction()
{
    if (open_ && !sqlite3_get_autocommit(connection_.handle()))
        sqlite3_exec(connection_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    connection_.execute("COMMIT");
    open_ = false;
}

} // namespace genart
