// What `genart library …` and `genart render --entry` do, on the library in the data folder.
#include <memory>
#include <ostream>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "command_line/library_command.h"
#include "terminal_text/printable.h"
#include "files/recipe_file.h"
#include "library/library.h"
#include "library/library_location.h"
#include "library_files/entry_files.h"

namespace genart {
namespace {

using Verb = LibraryRequest::Verb;

// Exit statuses.
constexpr int kDone = 0;
constexpr int kFailed = 1;  // the library or a file could not be read or written
constexpr int kRefused = 2; // an id that is no entry, a file that is no picture of genart's

int fail(std::ostream& errors, const std::string& command, const std::string& message, int status = kFailed)
{
    errors << "genart: " << command << ": " << printable(message) << '\n';
    return status;
}

// Every id names an entry: the first that does not is the error.
std::optional<std::string> missingEntry(Library& library, const std::vector<std::int64_t>& ids)
{
    for (const std::int64_t id : ids) {
        const auto found = library.isFavourite(id);
        if (const auto* error = std::get_if<LibraryError>(&found))
            return error->message;
    }
    return std::nullopt;
}

QJsonObject jsonOf(const LibraryEntry& entry)
{
    QJsonArray parents;
    for (const std::int64_t parent : entry.parents)
        parents.append(static_cast<qint64>(parent));
    return {{QStringLiteral("id"), static_cast<qint64>(entry.id)},
            {QStringLiteral("added"), QString::fromStdString(entry.added)},
            {QStringLiteral("name"), QString::fromStdString(entry.name())},
            {QStringLiteral("favourite"), entry.favourite},
            {QStringLiteral("origin"), QString::fromStdString(entry.origin)},
            {QStringLiteral("parents"), parents},
            {QStringLiteral("formula"), static_cast<int>(entry.shown.picture.picture.tip1)},
            {QStringLiteral("recipe"), QString::fromStdString(recipeText(entry.shown.picture))}};
}

// id, time, name, favourite, how it was made and from which entries, with tabs between.
std::string lineOf(const LibraryEntry& entry)
{
    std::string parents;
    for (const std::int64_t parent : entry.parents)
    {
        // Appended piece by piece: GCC 12's optimised build warns falsely (-Wrestrict).
        if (!parents.empty())
            parents += ',';
        parents += std::to_string(parent);
    }
    return std::to_string(entry.id) + '\t' + entry.added + '\t' + entry.name() + '\t'
        + (entry.favourite ? "favourite" : "-") + '\t' + entry.origin + '\t' + (parents.empty() ? "-" : parents) + '\n';
}

int list(Library& library, const LibraryRequest& request, std::ostream& out, std::ostream& errors)
{
    EntryFilter filter;
    filter.favouritesOnly = request.favourites;
    QJsonArray array;
    std::string text; // written only once every entry was read
    const auto unreadable = library.forEach(filter, [&](const LibraryEntry& entry) {
        if (request.json)
            array.append(jsonOf(entry));
        else
            text += lineOf(entry);
    });
    if (const auto* error = std::get_if<LibraryError>(&unreadable))
        return fail(errors, "library list", error->message);
    if (const std::int64_t lost = std::get<std::int64_t>(unreadable); lost > 0)
        return fail(errors, "library list", "the library is damaged: " + std::to_string(lost) + " entries cannot be read");
    if (request.json)
        out << QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
    else
        out << text;
    return kDone;
}

int change(Library& library, const LibraryRequest& request, std::ostream& errors)
{
    const std::string command = request.verb == Verb::Remove ? "library remove" : "library favourite";
    if (const auto missing = missingEntry(library, request.ids))
        return fail(errors, command, *missing, kRefused);
    std::optional<LibraryError> error;
    if (request.verb == Verb::Favourite)
        error = library.setFavourite(request.ids, !request.off);
    else if (!(error = library.remove(request.ids)))
        error = library.purge(request.ids); // from a terminal a removal is meant for good
    return error ? fail(errors, command, error->message) : kDone;
}

int import(const LibraryRequest& request, std::ostream& out, std::ostream& errors)
{
    std::vector<NewEntry> entries;
    for (const std::string& file : request.files) {
        const auto recipe = readRecipeFile(file);
        if (const auto* error = std::get_if<RecipeError>(&recipe))
            return fail(errors, "library import", error->message, kRefused);
        const Recipe& read = std::get<Recipe>(recipe);
        entries.push_back({{read, read.palette}, origins::kImported, {}, {}});
    }
    auto opened = Library::openForCommand(true);
    if (const auto* error = std::get_if<LibraryError>(&opened))
        return fail(errors, "library import", error->message);
    const auto ids = std::get<std::unique_ptr<Library>>(opened)->addAll(entries);
    if (const auto* error = std::get_if<LibraryError>(&ids))
        return fail(errors, "library import", error->message);
    for (const std::int64_t id : std::get<std::vector<std::int64_t>>(ids))
        out << id << '\n';
    return kDone;
}

int exportEntries(Library& library, const LibraryRequest& request, std::ostream& out, std::ostream& errors)
{
    EntryFilter favourites;
    favourites.favouritesOnly = true;
    auto ids = request.favourites ? library.ids(favourites) : LibraryResult<std::vector<std::int64_t>>(request.ids);
    if (const auto* error = std::get_if<LibraryError>(&ids))
        return fail(errors, "library export", error->message);
    if (const auto missing = missingEntry(library, std::get<std::vector<std::int64_t>>(ids)))
        return fail(errors, "library export", *missing, kRefused);
    const auto entries = library.entries(std::get<std::vector<std::int64_t>>(ids));
    if (const auto* error = std::get_if<LibraryError>(&entries))
        return fail(errors, "library export", error->message);
    const QString folder = QString::fromStdString(request.outDir);
    const bool made = !QDir(folder).exists();
    if (made && !QDir().mkpath(folder))
        return fail(errors, "library export", request.outDir + ": the folder cannot be made");
    const EntryPictureSettings settings{request.size, request.caption, request.encoding, false};
    const ExportedEntries exported = genart::exportEntries(std::get<std::vector<LibraryEntry>>(entries), folder,
                                                           QString::fromStdString(request.extension), settings);
    if (!exported.failure.empty()) {
        if (made)
            QDir().rmdir(folder);
        return fail(errors, "library export", exported.failure);
    }
    for (const std::string& path : exported.written)
        out << path << '\n';
    return kDone;
}

} // namespace

int runLibrary(const LibraryRequest& request, std::ostream& out, std::ostream& errors)
{
    if (request.verb == Verb::Help) {
        out << libraryUsageText();
        return kDone;
    }
    if (request.verb == Verb::Import)
        return import(request, out, errors);
    auto opened = Library::openForCommand(false);
    if (const auto* error = std::get_if<LibraryError>(&opened))
        return fail(errors, "library", error->message);
    Library& library = *std::get<std::unique_ptr<Library>>(opened);
    switch (request.verb) {
    case Verb::List:
        return list(library, request, out, errors);
    case Verb::Export:
        return exportEntries(library, request, out, errors);
    default:
        return change(library, request, errors);
    }
}

std::variant<Recipe, RecipeError> recipeOfEntry(std::int64_t id)
{
    auto opened = Library::openForCommand(false);
    if (const auto* error = std::get_if<LibraryError>(&opened))
        return RecipeError{error->message};
    const auto entry = std::get<std::unique_ptr<Library>>(opened)->entry(id);
    if (const auto* error = std::get_if<LibraryError>(&entry))
        return RecipeError{error->message};
    return std::get<LibraryEntry>(entry).shown.picture;
}

int renderEntry(const RenderOptions& options, std::ostream& errors)
{
    auto opened = Library::openForCommand(false);
    if (const auto* error = std::get_if<LibraryError>(&opened))
        return fail(errors, "render", error->message);
    Library& library = *std::get<std::unique_ptr<Library>>(opened);
    if (const auto missing = missingEntry(library, {*options.entry}))
        return fail(errors, "render", *missing, kRefused);
    const auto entry = library.entry(*options.entry);
    if (const auto* error = std::get_if<LibraryError>(&entry))
        return fail(errors, "render", error->message);
    const EntryPictureSettings settings{options.pictureSize(), options.caption, options.encodeSettings(), options.force};
    const std::string failure =
        writeEntryPicture(std::get<LibraryEntry>(entry).shown, options.out, settings, options.paletteOut);
    return failure.empty() ? kDone : fail(errors, "render", failure);
}

} // namespace genart
