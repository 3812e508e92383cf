#include "files/image_output.h"

#include "files/printable.h"

namespace genart {

std::string stageImages(OutputFiles& files, const std::vector<ImageOutput>& outputs, const EncodeSettings& settings)
{
    for (const ImageOutput& output : outputs) {
        if (const std::string problem = pictureFileProblem(output.path, output.image.width(), output.image.height());
            !problem.empty())
            return printable(output.path) + ": cannot write: " + problem;
        const QByteArray bytes = encodeImage(output.image, *formatOfPath(output.path), output.recipe, settings);
        if (bytes.isEmpty())
            return printable(output.path) + ": cannot write: encoding failed";
        if (std::string failure = files.stage(output.path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
            !failure.empty())
            return failure;
    }
    return {};
}

std::string writeImages(const std::vector<ImageOutput>& outputs, bool replace, const EncodeSettings& settings)
{
    OutputFiles files(replace, newRunToken());
    if (std::string failure = stageImages(files, outputs, settings); !failure.empty())
        return failure;
    if (std::string failure = files.place(); !failure.empty())
        return failure;
    return files.finish();
}

} // namespace genart
