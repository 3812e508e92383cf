#include "library_files/entry_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "picture_files/run_picture_job.h"

namespace genart {

QString unusedPath(const QString& folder, const QString& stem, const QString& suffix)
{
    const QDir dir(folder);
    QString path = dir.filePath(stem + QLatin1Char('.') + suffix);
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = dir.filePath(stem + QLatin1Char('-') + QString::number(n) + QLatin1Char('.') + suffix);
    return path;
}

std::string writeEntryPicture(const HistoryEntry& entry, const std::string& path, const EntryPictureSettings& settings,
                              const std::optional<std::string>& stripPath)
{
    PictureJob job;
    job.source = EntrySource{entry, {}, {}}; // the strip as the window showed it beside the picture
    job.size = settings.size;
    job.caption = settings.caption;
    job.path = path;
    job.stripPath = stripPath;
    job.replace = settings.replace;
    job.encoding = settings.encoding;
    return runPictureJob(job).failure;
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
