#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/library_entry.h"
#include "support/seeded_session.h"

namespace genart::testing {

// Real entries as a window shows them: start-up of `seed`, then a new picture, a new strip, both.
inline std::vector<HistoryEntry> drawnEntries(std::uint32_t seed)
{
    SeededSession session(seed);
    session.startUp();
    std::vector<HistoryEntry> entries{{session.session.recipe(), session.session.palette()}};
    for (const Action action : {Action::Image, Action::Palette, Action::Both}) {
        session.session.perform(action);
        entries.push_back({session.session.recipe(), session.session.palette()});
    }
    return entries;
}

// `count` entries cycling through `drawn`, each with a name of its own (T and 14 digits, n in
// the last ones) so every entry can be told apart.
inline std::vector<HistoryEntry> namedEntries(const std::vector<HistoryEntry>& drawn, int count, int first = 0)
{
    std::vector<HistoryEntry> entries;
    for (int n = first; n < first + count; ++n) {
        HistoryEntry entry = drawn[static_cast<std::size_t>(n) % drawn.size()];
        entry.picture.imeslike = "T2026" + std::to_string(1000000000 + n);
        entries.push_back(entry);
    }
    return entries;
}

inline NewEntry newEntry(const HistoryEntry& shown, const char* origin = origins::kCommand,
                         std::vector<std::int64_t> parents = {})
{
    return {shown, origin, std::move(parents), {}};
}

} // namespace genart::testing
