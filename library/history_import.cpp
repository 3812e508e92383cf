#include "library/history_import.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "library/library.h"

namespace genart {
namespace {

constexpr const char* kImported = "old history imported";
// Far more than the 1,000 entries the history kept; a larger file is not one genart wrote.
constexpr off_t kLongestHistoryFile = 16 * 1024 * 1024;

} // namespace

HistoryImport importOldHistory(Library& library, const std::string& historyPath)
{
    HistoryImport report;
    struct stat status {};
    if (historyPath.empty() || ::stat(historyPath.c_str(), &status) != 0 || library.recorded(kImported))
        return report;
    HistoryReading reading;
    if (!S_ISREG(status.st_mode) || status.st_size > kLongestHistoryFile) {
        reading.unreadable = RecipeError{"not a history"};
    } else {
        std::ifstream file(historyPath, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        reading = readHistoryLeniently(text);
    }
    std::vector<NewEntry> entries;
    const std::string added = iso8601(status.st_mtime); // when the last of them was kept
    for (const HistoryEntry& entry : reading.entries)
        entries.push_back({entry, origins::kHistory, {}, added});
    const auto done = library.addOnce(kImported, entries);
    if (const auto* error = std::get_if<LibraryError>(&done)) {
        report.notice = "The old picture history " + historyPath + " was not carried into the library: " + error->message;
        return report;
    }
    if (!std::get<bool>(done))
        return report; // another window carried it over a moment before
    if (reading.unreadable) {
        report.notice = "The old picture history " + historyPath + " is not one genart can read; it is kept as it was.";
        return report;
    }
    report.imported = static_cast<std::int64_t>(entries.size());
    report.skipped = reading.skipped;
    report.notice = std::to_string(report.imported) + " pictures of the old history were carried into the library";
    if (report.skipped > 0)
        report.notice += " (" + std::to_string(report.skipped) + " damaged entries or lines skipped)";
    report.notice += "; " + historyPath + " is kept as it was.";
    return report;
}

} // namespace genart
