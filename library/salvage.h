#pragma once

#include <cstdint>
#include <string>

namespace genart {

class SqliteConnection;

// Renames a damaged library, with its write-ahead log and shared-memory files, to
// path.damaged-<time> (never over another file); the new name, or empty when it could not be moved.
std::string setAside(const std::string& path);

struct Salvage {
    std::int64_t carried = 0; // entries copied, with their ids
    std::int64_t lost = 0;    // entries that could not be read
};

// Copies every entry that can still be read from the damaged library at `damaged` into
// `into`, keeping ids and order. Entries are tried one by one, so a damaged part of the file
// loses only the entries stored in it.
Salvage salvageEntries(const std::string& damaged, SqliteConnection& into);

} // namespace genart
