#include "library_files/entry_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/image_output.h"
#include "files/picture_export.h"
#include "files/printable.h"
#include "palette/palette_strip.h"
#include "platform/qt/image_surface.h"

namespace genart {

QString unusedPath(const QString& folder, const QString& stem, const QString& suffix)
{
    const QDir dir(folder);
    QString path = dir.filePath(stem + QLatin1Char('.') + suffix);
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = dir.filePath(stem + QLatin1Char('-') + QString::number(n) + QLatin1Char('.') + suffix);
    return path;
}

namespace {

// The strip as the window showed it beside the picture: after "change palette" not the
// picture's own palette.
QImage stripShown(const HistoryEntry& entry)
{
    ImageSurface strip(kStripWidth, kStripHeight);
    GenerationState state;
    setFixedState(state);
    paintPalette(entry.strip, state, strip);
    return strip.image();
}

} // namespace

std::string writeEntryPicture(const HistoryEntry& entry, const std::string& path, const EntryPictureSettings& settings,
                              const std::optional<std::string>& stripPath)
{
    if (const std::string problem = pictureFileProblem(path, settings.size.width, settings.size.height); !problem.empty())
        return printable(path) + ": " + problem;
    const std::string recipe = recipeText(entry.picture);
    const auto picture = exportPicture(entry.picture, settings.size, settings.caption);
    std::vector<ImageOutput> outputs{{path, picture->picture, recipe}};
    if (stripPath) // it carries the recipe only when the picture was coloured from it
        outputs.push_back({*stripPath, stripShown(entry), entry.strip == entry.picture.palette ? recipe : std::string()});
    return writeImages(outputs, settings.replace, settings.encoding);
}

ExportedEntries exportEntries(const std::vector<LibraryEntry>& entries, const QString& folder, const QString& extension,
                              const EntryPictureSettings& settings, const std::function<bool(std::size_t)>& progress)
{
    ExportedEntries exported;
    for (const LibraryEntry& entry : entries) {
        const QString path = unusedPath(folder, QString::fromStdString(entry.name()), extension);
        exported.failure = writeEntryPicture(entry.shown, path.toStdString(), settings);
        if (exported.failure.empty())
            exported.written.push_back(path.toStdString());
        if (exported.failure.empty() && progress && !progress(exported.written.size()))
            exported.failure = "cancelled";
        if (!exported.failure.empty())
            break;
    }
    if (!exported.failure.empty()) {
        for (const std::string& path : exported.written)
            QFile::remove(QString::fromStdString(path));
        exported.written.clear();
    }
    return exported;
}

} // namespace genart
