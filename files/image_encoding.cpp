#include "files/image_encoding.h"

#include <QBuffer>
#include <QImageWriter>

#include "files/webp_output.h"
#include "limits/limits.h"
#include "session/recipe.h"

namespace genart {
namespace {

// Through Qt, which writes each text as a JPEG comment.
QByteArray encodeJpeg(const QImage& image, int quality, const std::string& recipe)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    // The writer keeps the text beside the image: the image itself is not copied to carry it.
    if (!recipe.empty())
        writer.setText(QString::fromLatin1(kRecipeKey), QString::fromStdString(recipe));
    if (!writer.write(image))
        return {};
    return bytes;
}

} // namespace

QByteArray encodeImage(const QImage& image, FileFormat format, const std::string& recipe,
                       const EncodeSettings& settings)
{
    switch (format) {
    case FileFormat::Png:
        return encodePng(image, recipe, settings.png);
    case FileFormat::Jpeg:
        return encodeJpeg(image, settings.quality > 0 ? settings.quality : kDefaultJpegQuality, recipe);
    case FileFormat::WebP:
        return encodeWebp(image, recipe, settings.quality > 0 ? settings.quality : kDefaultWebpQuality);
    case FileFormat::Mp4:
    case FileFormat::Gif:
        break;
    }
    return {};
}

} // namespace genart
