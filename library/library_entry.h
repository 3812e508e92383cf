#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "session/picture_history.h"

namespace genart {

// How a picture came to be, as the library names it: the window's start-up and its commands,
// the views that make pictures from others, and the files and the command line.
namespace origins {
inline constexpr const char* kStart = "start";
inline constexpr const char* kCommand = "command";
inline constexpr const char* kOpened = "opened";
inline constexpr const char* kExplore = "explore";
inline constexpr const char* kVariation = "variation";
inline constexpr const char* kRecolour = "recolour";
inline constexpr const char* kMix = "mix";
inline constexpr const char* kWallpaper = "wallpaper";
inline constexpr const char* kImported = "imported"; // `genart library import`
inline constexpr const char* kHistory = "history";   // carried over from the old history file
} // namespace origins

// A picture to keep: what was shown (the picture's recipe and the strip beside it), how it was
// made and from which entries. `added` is the time as ISO 8601; empty means now.
struct NewEntry {
    HistoryEntry shown;
    std::string origin = origins::kCommand;
    std::vector<std::int64_t> parents;
    std::string added;
};

// A picture the library keeps. Ids are given in the order entries are added, by every window and
// command at once, and never given again.
struct LibraryEntry {
    std::int64_t id = 0;
    std::string added; // local time with its offset, 2026-12-08T12:00:00+01:00
    std::string origin;
    std::vector<std::int64_t> parents;
    bool favourite = false;
    HistoryEntry shown;

    const std::string& name() const { return shown.picture.imeslike; }
};

// What a list of thumbnails needs of an entry, without reading its strip.
struct EntrySummary {
    std::int64_t id = 0;
    std::string added;
    std::string name;
    int formula = 0; // the shape formula, tip1
    bool favourite = false;
    std::string recipe; // the picture's recipe text, as genart writes it into files
};

// Which entries a count or a page takes.
struct EntryFilter {
    bool favouritesOnly = false;
    std::optional<int> formula; // tip1, 1 .. 15

    bool operator==(const EntryFilter&) const = default;
};

// One printable line telling what went wrong, in the system's words where it gave them.
struct LibraryError {
    std::string message;
};

template <class T>
using LibraryResult = std::variant<T, LibraryError>;

// A moment as entries record it: local time with its offset, 2026-12-08T12:00:00+01:00.
std::string iso8601(std::time_t moment);
std::string timeNowIso8601();

} // namespace genart
