#include "files/png_output.h"

#include <QBuffer>
#include <QImageWriter>

#include "files/printable.h"

namespace genart {

QByteArray encodePng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return {};
    buffer.close();
    return bytes;
}

std::string stagePngs(OutputFiles& files, const std::vector<PngOutput>& outputs)
{
    for (const PngOutput& output : outputs) {
        const QByteArray bytes = encodePng(output.image);
        if (bytes.isEmpty())
            return printable(output.path) + ": cannot write: PNG encoding failed";
        if (std::string failure = files.stage(output.path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
            !failure.empty())
            return failure;
    }
    return {};
}

std::string writePngs(const std::vector<PngOutput>& outputs, bool replace)
{
    OutputFiles files(replace, newRunToken());
    if (std::string failure = stagePngs(files, outputs); !failure.empty())
        return failure;
    if (std::string failure = files.place(); !failure.empty())
        return failure;
    return files.finish();
}

} // namespace genart
