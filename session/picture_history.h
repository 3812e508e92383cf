#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "palette/palette_strip.h"
#include "session/recipe.h"

namespace genart {

// One state the window showed: the recipe of the picture on Picture1 and the palette of the
// strip on Picture2. The strip differs from the recipe's palette after "change palette".
// PictureSession::restore puts the session back into it exactly. The library keeps them; the
// text forms here are those of the history file earlier versions kept, read once into it.
struct HistoryEntry {
    Recipe picture;
    PaletteParameters strip;

    bool operator==(const HistoryEntry&) const = default;
};

// How many of the newest entries a history file keeps.
inline constexpr std::size_t kKeptEntries = 1000;
inline constexpr const char* kHistoryKey = "genart-history";
inline constexpr int kHistoryVersion = 1;

// The newest `keep` entries as text: a first line naming the format, then each entry as its
// picture's recipe text followed by the strip's palette under strip.* keys.
std::string historyText(const std::vector<HistoryEntry>& entries, std::size_t keep = kKeptEntries);

// The same built from entries already written one by one, for a writer that keeps them: the
// history only grows at its end, so each entry need be written once.
std::string historyEntryText(const HistoryEntry& entry);
std::string joinedHistoryText(const std::vector<std::string>& entryTexts, std::size_t keep = kKeptEntries);

// Reads what historyText writes. The text is untrusted: every entry is checked as a recipe,
// and the first fault, naming the entry, makes the whole text unreadable.
std::variant<std::vector<HistoryEntry>, RecipeError> parseHistory(const std::string& text);

// Reads the same, keeping every entry that is sound: an entry with a fault, and lines before the
// first entry, are skipped and counted. A text that is not a history at all is `unreadable`.
struct HistoryReading {
    std::vector<HistoryEntry> entries;
    std::size_t skipped = 0;
    std::optional<RecipeError> unreadable;
};
HistoryReading readHistoryLeniently(const std::string& text);

// One entry as historyEntryText writes it, checked like a history's.
std::variant<HistoryEntry, RecipeError> parseHistoryEntry(const std::string& text);

} // namespace genart
