#include "app/poster_save.h"

#include <algorithm>

#include <QFileInfo>
#include <QSaveFile>

#include "files/image_encoding.h"
#include "files/picture_export.h"

namespace genart {
namespace {

QString failed(const QString& path, const QString& why)
{
    return path + QStringLiteral(": cannot write: ") + why;
}

} // namespace

std::optional<QString> savePoster(const Recipe& recipe, const PictureSize& size, bool caption, const QString& path,
                                  const SaveProgress& progress, const std::atomic<bool>& cancel)
{
    const auto tell = [&](SaveStage stage, double done) {
        if (progress)
            progress(stage, done);
    };
    if (const std::string problem = pictureFileProblem(path.toStdString(), size.width, size.height); !problem.empty())
        return failed(path, QString::fromStdString(problem));
    const FileFormat format = *formatOfPath(path.toStdString());
    tell(SaveStage::Drawing, 0);
    auto exported = exportPicture(
        recipe, size, caption,
        [&](int done, int total) { tell(SaveStage::Drawing, static_cast<double>(done) / total); }, &cancel);
    if (!exported || cancel)
        return std::nullopt;

    tell(SaveStage::Encoding, 0);
    EncodeSettings settings;
    settings.png.progress = [&](int rows, int total) {
        tell(SaveStage::Encoding, static_cast<double>(rows) / total);
        return !cancel;
    };
    const QByteArray bytes = encodeImage(exported->picture, format, recipeText(recipe), settings);
    exported.reset(); // the picture's memory is not needed while the file is written
    if (cancel)
        return std::nullopt;
    if (bytes.isEmpty())
        return failed(path, QStringLiteral("encoding failed"));
    tell(SaveStage::Encoding, 1);

    const QFileInfo existing(path);
    if ((existing.exists() || existing.isSymLink()) && !existing.isFile())
        return path + QStringLiteral(": not a regular file, refusing to replace it");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(path, file.errorString());
    constexpr qint64 kChunk = 1 << 20;
    for (qint64 at = 0; at < bytes.size(); at += kChunk) {
        if (cancel)
            return std::nullopt; // the temporary goes with the QSaveFile
        const qint64 length = std::min(kChunk, bytes.size() - at);
        if (file.write(bytes.constData() + at, length) != length)
            return failed(path, file.errorString());
        tell(SaveStage::Writing, static_cast<double>(at + length) / static_cast<double>(bytes.size()));
    }
    if (cancel)
        return std::nullopt;
    if (!file.commit())
        return failed(path, file.errorString());
    tell(SaveStage::Writing, 1);
    return QString();
}

} // namespace genart
