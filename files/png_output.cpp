#include "files/png_output.h"

#include <memory>

#include <QFileInfo>
#include <QSaveFile>

namespace genart {
namespace {

std::string refusal(const std::vector<PngOutput>& outputs, bool replace)
{
    for (const PngOutput& output : outputs) {
        const QFileInfo info(QString::fromStdString(output.path));
        if (!info.exists() && !info.isSymLink())
            continue;
        if (!info.isFile())
            return output.path + ": not a regular file, refusing to replace it";
        if (!replace)
            return output.path + ": file exists; use --force to replace it";
    }
    return {};
}

} // namespace

std::string writePngs(const std::vector<PngOutput>& outputs, bool replace)
{
    if (std::string reason = refusal(outputs, replace); !reason.empty())
        return reason;

    std::vector<std::unique_ptr<QSaveFile>> files;
    for (const PngOutput& output : outputs) {
        auto file = std::make_unique<QSaveFile>(QString::fromStdString(output.path));
        if (!file->open(QIODevice::WriteOnly))
            return output.path + ": cannot write: " + file->errorString().toStdString();
        if (!output.image.save(file.get(), "PNG")) {
            const std::string why = file->error() != QFileDevice::NoError ? file->errorString().toStdString()
                                                                           : std::string("PNG encoding failed");
            return output.path + ": cannot write: " + why;
        }
        files.push_back(std::move(file));
    }
    // Every temporary is complete; a rename that fails now is the only way to lose a file.
    for (std::size_t n = 0; n < files.size(); ++n) {
        if (!files[n]->commit())
            return outputs[n].path + ": cannot write: " + files[n]->errorString().toStdString();
    }
    return {};
}

} // namespace genart
