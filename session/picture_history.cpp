#include "session/picture_history.h"

#include <sstream>

namespace genart {
namespace {

constexpr std::size_t kLongestHistory = 16 * 1024 * 1024;
constexpr const char* kPalettePrefix = "palette.";
constexpr const char* kStripPrefix = "strip.";

bool startsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

std::string historyHeader()
{
    return std::string(kHistoryKey) + '=' + std::to_string(kHistoryVersion);
}

// The strip's palette is written and read as the palette of a recipe for the same picture, so
// it is formatted and checked exactly like a recipe's own, under strip.* instead of palette.*.
std::string stripLines(const HistoryEntry& entry)
{
    Recipe withStrip = entry.picture;
    withStrip.palette = entry.strip;
    std::istringstream lines(recipeText(withStrip));
    std::string text;
    for (std::string line; std::getline(lines, line);)
        if (startsWith(line, kPalettePrefix))
            text += kStripPrefix + line.substr(std::char_traits<char>::length(kPalettePrefix)) + '\n';
    return text;
}

std::string renamedToStrip(std::string message)
{
    const std::string from = kPalettePrefix;
    for (std::size_t at = message.find(from); at != std::string::npos; at = message.find(from, at))
        message.replace(at, from.size(), kStripPrefix);
    return message;
}

// One entry's lines as read: the recipe of its picture, and the same recipe with the strip's
// palette in place of the picture's.
struct EntryText {
    std::string picture;
    std::string strip;
};

} // namespace

std::string historyEntryText(const HistoryEntry& entry)
{
    return recipeText(entry.picture) + stripLines(entry);
}

std::string joinedHistoryText(const std::vector<std::string>& entryTexts, std::size_t keep)
{
    std::string text = historyHeader() + '\n';
    const std::size_t first = entryTexts.size() > keep ? entryTexts.size() - keep : 0;
    for (std::size_t n = first; n < entryTexts.size(); ++n)
        text += '\n' + entryTexts[n];
    return text;
}

std::string historyText(const std::vector<HistoryEntry>& entries, std::size_t keep)
{
    const std::size_t first = entries.size() > keep ? entries.size() - keep : 0;
    std::vector<std::string> texts;
    for (std::size_t n = first; n < entries.size(); ++n)
        texts.push_back(historyEntryText(entries[n]));
    return joinedHistoryText(texts, keep);
}

namespace {

// The header of a history text: empty when it is one genart can read, else why not.
std::optional<RecipeError> headerProblem(const std::string& line)
{
    if (!startsWith(line, std::string(kHistoryKey) + '='))
        return RecipeError{"not a genart history (it does not start with " + std::string(kHistoryKey) + "=)"};
    if (line != historyHeader())
        return RecipeError{"history version " + line.substr(std::char_traits<char>::length(kHistoryKey) + 1, 20)
                           + " is not supported (only " + std::to_string(kHistoryVersion) + ")"};
    return std::nullopt;
}

// The entries' lines after the header, each entry beginning at its recipe's first line. Lines
// before the first entry are counted in `stray`, the first of them kept for a message.
struct SplitHistory {
    std::vector<EntryText> texts;
    std::size_t stray = 0;
    std::string firstStray;
};

SplitHistory splitEntries(std::istream& lines)
{
    SplitHistory split;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty())
            continue;
        if (startsWith(line, std::string(kRecipeKey) + '='))
            split.texts.emplace_back();
        else if (split.texts.empty()) {
            if (split.stray++ == 0)
                split.firstStray = line;
            continue;
        }
        EntryText& entry = split.texts.back();
        if (startsWith(line, kStripPrefix)) {
            entry.strip += kPalettePrefix + line.substr(std::char_traits<char>::length(kStripPrefix)) + '\n';
            continue;
        }
        entry.picture += line + '\n';
        if (!startsWith(line, kPalettePrefix))
            entry.strip += line + '\n';
    }
    return split;
}

std::variant<HistoryEntry, RecipeError> parseEntry(const EntryText& text)
{
    auto picture = parseRecipe(text.picture);
    if (const auto* error = std::get_if<RecipeError>(&picture))
        return *error;
    auto strip = parseRecipe(text.strip);
    if (const auto* error = std::get_if<RecipeError>(&strip))
        return RecipeError{renamedToStrip(error->message)};
    return HistoryEntry{std::get<Recipe>(picture), std::get<Recipe>(strip).palette};
}

} // namespace

std::variant<std::vector<HistoryEntry>, RecipeError> parseHistory(const std::string& text)
{
    if (text.size() > kLongestHistory)
        return RecipeError{"history is too long to be one"};
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    if (auto problem = headerProblem(line))
        return *problem;
    const SplitHistory split = splitEntries(lines);
    if (split.stray > 0)
        return RecipeError{"history line before its first entry: " + split.firstStray.substr(0, 40)};

    std::vector<HistoryEntry> entries;
    entries.reserve(split.texts.size());
    for (std::size_t n = 0; n < split.texts.size(); ++n) {
        auto entry = parseEntry(split.texts[n]);
        if (const auto* error = std::get_if<RecipeError>(&entry))
            return RecipeError{"history entry " + std::to_string(n + 1) + ": " + error->message};
        entries.push_back(std::get<HistoryEntry>(entry));
    }
    return entries;
}

HistoryReading readHistoryLeniently(const std::string& text)
{
    HistoryReading reading;
    if (text.size() > kLongestHistory) {
        reading.unreadable = RecipeError{"history is too long to be one"};
        return reading;
    }
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    if ((reading.unreadable = headerProblem(line)))
        return reading;
    const SplitHistory split = splitEntries(lines);
    reading.skipped = split.stray;
    for (const EntryText& entryText : split.texts) {
        auto entry = parseEntry(entryText);
        if (std::holds_alternative<RecipeError>(entry))
            ++reading.skipped;
        else
            reading.entries.push_back(std::get<HistoryEntry>(std::move(entry)));
    }
    return reading;
}

std::variant<HistoryEntry, RecipeError> parseHistoryEntry(const std::string& text)
{
    std::istringstream lines(text);
    const SplitHistory split = splitEntries(lines);
    if (split.stray > 0 || split.texts.size() != 1)
        return RecipeError{"not one history entry"};
    return parseEntry(split.texts.front());
}

} // namespace genart
