#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "library/library.h"

namespace genart::testing {

// What a library keeps, oldest first, as the window showed each.
inline std::vector<HistoryEntry> keptEntries(Library& library)
{
    std::vector<HistoryEntry> entries;
    library.forEach({}, [&](const LibraryEntry& entry) { entries.push_back(entry.shown); });
    return entries;
}

inline std::size_t keptCount(Library& library)
{
    const auto count = library.count();
    return std::holds_alternative<std::int64_t>(count) ? static_cast<std::size_t>(std::get<std::int64_t>(count)) : 0;
}

} // namespace genart::testing
