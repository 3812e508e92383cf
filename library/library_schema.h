#pragma once

#include <string>

#include "library/library_entry.h"

namespace genart {

class SqliteConnection;
class Statement;

// The tables of a library, made when missing. Entries keep the picture's recipe as genart writes
// it into files and the strip's lines after it, so an entry reads back through the history's
// own checked reader; `formula` and `favourite` are columns of their own for the filters.
void makeSchema(SqliteConnection& connection);

// The columns every read of a whole entry takes, in the order entryFrom() reads them.
inline constexpr const char* kEntryColumns = "id, added, origin, parents, favourite, recipe, strip";
// An entry read with kEntryColumns; an entry whose recipe cannot be read is the error.
LibraryResult<LibraryEntry> entryFrom(const Statement& row);

// Writes an entry; with `id` 0 the library gives the next one.
void insertEntry(SqliteConnection& connection, const NewEntry& entry, std::int64_t id = 0, bool favourite = false);

// "3 7" and back.
std::string parentsText(const std::vector<std::int64_t>& parents);
std::vector<std::int64_t> parentsFrom(const std::string& text);

} // namespace genart
