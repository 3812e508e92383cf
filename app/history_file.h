#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include <QString>

#include "session/picture_history.h"

namespace genart {

// Where the window keeps its pictures between runs: history.txt in the application's data
// folder. Empty when the platform has no such folder.
QString defaultHistoryPath();

// The picture history as a file: read once at start, written again in full, atomically, after
// every new entry. Problems are told in one line on `warnings` and never stop the window.
class HistoryFile {
public:
    explicit HistoryFile(QString path, std::ostream& warnings);

    const QString& path() const { return path_; }

    // The entries an earlier run kept; none when there is no file yet. A file that cannot be
    // read or is damaged is set aside under a new name (path.damaged-<time>) and told; should
    // that fail too, nothing is written to the path for the rest of the run.
    std::vector<HistoryEntry> load();

    // Replaces the file with the newest entries (kKeptEntries); it appears whole or not at all.
    // False when it could not be written; a run of failures is told once.
    bool save(const std::vector<HistoryEntry>& entries);

private:
    void setAside(const std::string& why);

    QString path_;
    std::ostream& warnings_;
    // The text of every entry saved so far, in order: a history only grows at its end.
    std::vector<HistoryEntry> written_;
    std::vector<std::string> texts_;
    bool writable_ = true; // false once a file that could not be read could not be moved either
    bool failing_ = false; // the last write failed and was told
};

} // namespace genart
