#include "app/poster_save.h"

#include <algorithm>

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include "files/picture_export.h"

namespace genart {
namespace {

// Encoded bytes per pixel of a picture drawn `scale` times its size, as a share of what the
// picture takes per pixel at its normal size: larger pictures are smoother and pack tighter.
double packingRelativeToNormal(int scale)
{
    return scale <= 2 ? 0.62 : scale <= 4 ? 0.42 : 0.3;
}

// A buffer that tells how much of the expected encoding has arrived, and refuses more once
// the save is cancelled, which stops the encoder.
class CountingBuffer final : public QBuffer {
public:
    CountingBuffer(qint64 expected, const SaveProgress& progress, const std::atomic<bool>& cancel)
        : expected_(std::max<qint64>(expected, 1)), progress_(progress), cancel_(cancel)
    {
    }

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        if (cancel_)
            return -1;
        const qint64 written = QBuffer::writeData(data, length);
        if (progress_)
            progress_(SaveStage::Encoding, std::min(0.99, static_cast<double>(size()) / static_cast<double>(expected_)));
        return written;
    }

private:
    qint64 expected_;
    const SaveProgress& progress_;
    const std::atomic<bool>& cancel_;
};

qint64 encodedSize(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return buffer.size();
}

QString failed(const QString& path, const QString& why)
{
    return path + QStringLiteral(": cannot write: ") + why;
}

} // namespace

std::optional<QString> savePoster(const Recipe& recipe, int scale, const QString& path, const SaveProgress& progress,
                                  const std::atomic<bool>& cancel)
{
    const auto tell = [&](SaveStage stage, double done) {
        if (progress)
            progress(stage, done);
    };
    tell(SaveStage::Drawing, 0);
    const auto exported = exportPicture(
        recipe, PictureSize::timesNormal(scale), true, [&](int done, int total) { tell(SaveStage::Drawing, static_cast<double>(done) / total); },
        &cancel);
    if (!exported || cancel)
        return std::nullopt;

    // What the picture takes at its normal size tells roughly what it takes this large.
    tell(SaveStage::Encoding, 0);
    const QImage& picture = exported->picture;
    const QImage normal = picture.scaled(picture.width() / scale, picture.height() / scale, Qt::IgnoreAspectRatio,
                                         Qt::FastTransformation);
    const double expected = static_cast<double>(encodedSize(normal)) * scale * scale * packingRelativeToNormal(scale);
    CountingBuffer encoded(static_cast<qint64>(expected), progress, cancel);
    encoded.open(QIODevice::WriteOnly);
    QImageWriter writer(&encoded, "png");
    writer.setText(QString::fromLatin1(kRecipeKey), QString::fromStdString(recipeText(recipe)));
    if (!writer.write(picture)) {
        if (cancel)
            return std::nullopt;
        return failed(path, QStringLiteral("PNG encoding failed: ") + writer.errorString());
    }
    tell(SaveStage::Encoding, 1);

    const QFileInfo existing(path);
    if ((existing.exists() || existing.isSymLink()) && !existing.isFile())
        return path + QStringLiteral(": not a regular file, refusing to replace it");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(path, file.errorString());
    const QByteArray& bytes = encoded.data();
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
