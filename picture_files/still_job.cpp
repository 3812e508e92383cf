#include "picture_files/still_job.h"

#include "file_formats/file_format.h"
#include "picture_files/job_source.h"
#include "picture_files/picture_at_size.h"
#include "terminal_text/printable.h"

namespace genart {
namespace {

// Whether the source's picture is the job's already: drawn at the job's size, with its caption
// as the job asks.
bool isTheJobsPicture(const EntrySource& source, const PictureJob& job)
{
    return !source.picture.isNull() && source.captioned == job.caption && source.picture.width() == job.size.width
        && source.picture.height() == job.size.height;
}

QByteArray encoded(const QImage& image, std::optional<FileFormat> format, const std::string& recipe,
                   const EncodeSettings& settings)
{
    return format ? encodeImage(image, *format, recipe, settings) : QByteArray();
}

} // namespace

std::optional<DrawnStill> drawStill(const PictureJob& job, const Progress& progress, const CancelToken* cancel)
{
    EntrySource source = resolveSource(job.source);
    const Recipe& recipe = source.entry.picture;
    DrawnStill drawn;
    drawn.recipe = recipeText(recipe);
    drawn.stripCarriesRecipe = source.entry.strip == recipe.palette;
    if (isTheJobsPicture(source, job)) {
        drawn.picture = std::move(source.picture);
        if (progress)
            progress(Stage::Drawing, 1);
    } else {
        std::optional<DrawnPicture> picture = drawPicture(recipe, job.size, job.caption, progress, cancel);
        if (!picture)
            return std::nullopt;
        drawn.picture = std::move(picture->picture);
        if (source.strip.isNull() && drawn.stripCarriesRecipe)
            source.strip = std::move(picture->strip);
    }
    if (job.stripPath)
        drawn.strip = source.strip.isNull() ? paintStrip(source.entry.strip) : std::move(source.strip);
    return drawn;
}

std::optional<std::vector<EncodedFile>> encodeStill(const PictureJob& job, const DrawnStill& drawn,
                                                     const Progress& progress, const CancelToken* cancel)
{
    EncodeSettings settings = job.encoding;
    settings.png.progress = progress;
    settings.png.cancel = cancel;
    const std::optional<FileFormat> format = job.format ? job.format : formatOfPath(job.path);
    std::vector<EncodedFile> files{{job.path, encoded(drawn.picture, format, drawn.recipe, settings), {}}};
    if (job.stripPath) {
        settings.png.progress = {}; // the strip is a moment's work after the picture's
        files.push_back({*job.stripPath,
                         encoded(drawn.strip, formatOfPath(*job.stripPath),
                                 drawn.stripCarriesRecipe ? drawn.recipe : std::string(), settings),
                         {}});
    }
    if (cancelled(cancel))
        return std::nullopt;
    for (EncodedFile& file : files)
        if (file.bytes.isEmpty())
            file.failure = "encoding failed";
    return files;
}

std::string stageEncoded(OutputFiles& files, const std::vector<EncodedFile>& encoded)
{
    for (const EncodedFile& file : encoded) {
        if (!file.failure.empty())
            return printable(file.path) + ": cannot write: " + file.failure;
        if (std::string failure = files.stage(file.path, file.bytes.constData(), static_cast<std::size_t>(file.bytes.size()));
            !failure.empty())
            return failure;
    }
    return {};
}

} // namespace genart
