#include "files/png_output.h"

#include <QBuffer>
#include <QImageWriter>

#include "session/recipe.h"

namespace genart {

QByteArray encodePng(const QImage& image, const std::string& recipe, const PngSettings& settings)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    QImageWriter writer(&buffer, "png");
    if (settings.level >= 0)
        writer.setCompression(settings.level);
    // Qt's writer keeps line breaks only in texts the image itself carries.
    QImage withText = image;
    if (!recipe.empty())
        withText.setText(QString::fromLatin1(kRecipeKey), QString::fromStdString(recipe));
    if (!writer.write(withText))
        return {};
    buffer.close();
    return bytes;
}

} // namespace genart
