#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "files/image_encoding.h"
#include "library/library_entry.h"
#include "session/picture_size.h"

namespace genart {

// `folder/stem.suffix`, or `stem-2.suffix`, `stem-3.suffix` … the first that no file takes: a
// default name that never offers to replace another picture.
QString unusedPath(const QString& folder, const QString& stem, const QString& suffix);

// How library entries are written as picture files.
struct EntryPictureSettings {
    PictureSize size;
    bool caption = true;
    EncodeSettings encoding;
    bool replace = false; // an existing file is replaced (never through a link), else refused
};

// Draws an entry's picture at the size asked and writes it at `path` (the format its extension
// names) with its recipe, and, given `stripPath`, the strip it was shown with; the files appear
// whole or not at all. "" or a one-line reason naming the path. Every picture file the library's
// views and commands write goes through here.
std::string writeEntryPicture(const HistoryEntry& entry, const std::string& path, const EntryPictureSettings& settings,
                              const std::optional<std::string>& stripPath = std::nullopt);

struct ExportedEntries {
    std::vector<std::string> written; // the files, in the order of the entries
    std::string failure;              // "" or why it stopped; then nothing is left written
};

// Writes each entry into `folder` as `<name>.<extension>` (numbered when the name is taken).
// `progress` hears how many are done. Stops at the first failure and takes back what it wrote.
ExportedEntries exportEntries(const std::vector<LibraryEntry>& entries, const QString& folder, const QString& extension,
                              const EntryPictureSettings& settings,
                              const std::function<bool(std::size_t done)>& progress = {});

} // namespace genart
