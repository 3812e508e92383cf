#pragma once

#include <cstdint>
#include <string>

namespace genart {

class Library;

struct HistoryImport {
    std::int64_t imported = 0; // entries carried into the library
    std::size_t skipped = 0;   // damaged entries and stray lines left out
    std::string notice;        // one line for the user; empty when there was nothing to do
};

// Carries the history file earlier versions kept into the library, once, in its order; later
// calls do nothing. The file is read as untrusted and left as it was, as a backup: damaged
// entries are skipped and counted, never shown.
HistoryImport importOldHistory(Library& library, const std::string& historyPath);

} // namespace genart
