#include "picture_files/run_picture_job.h"

#include "file_formats/file_format.h"
#include "picture_files/loop_job.h"
#include "picture_files/still_job.h"
#include "terminal_text/printable.h"

namespace genart {
namespace {

std::string cannotWrite(const std::string& path, const std::string& why)
{
    return printable(path) + ": cannot write: " + why;
}

std::optional<std::vector<EncodedFile>> encodeJob(const PictureJob& job, const Progress& progress,
                                                  const CancelToken* cancel)
{
    if (job.loop) {
        std::optional<EncodedFile> loop = encodeLoop(job, progress, cancel);
        if (!loop)
            return std::nullopt;
        return std::vector<EncodedFile>{std::move(*loop)};
    }
    const std::optional<DrawnStill> drawn = drawStill(job, progress, cancel);
    if (!drawn)
        return std::nullopt;
    if (progress)
        progress(Stage::Encoding, 0);
    return encodeStill(job, *drawn, progress, cancel);
}

JobOutcome writeEncoded(const std::vector<EncodedFile>& encoded, bool replace, const Progress& progress,
                        const CancelToken* cancel, FileCalls& calls)
{
    if (progress)
        progress(Stage::Writing, 0);
    OutputFiles files(replace, newRunToken(), calls);
    if (std::string failure = stageEncoded(files, encoded); !failure.empty())
        return {false, std::move(failure)};
    if (cancelled(cancel))
        return {true, {}}; // the staged files go with `files`
    if (std::string failure = files.place(); !failure.empty())
        return {false, std::move(failure)};
    std::string failure = files.finish();
    if (progress)
        progress(Stage::Writing, 1);
    return {false, std::move(failure)};
}

} // namespace

std::string jobProblem(const PictureJob& job)
{
    if (job.loop) {
        const std::optional<FileFormat> format = formatOfPath(job.path);
        if (!format || !isAnimationFormat(*format))
            return cannotWrite(job.path, std::string("an animation is written as ") + kAnimationExtensions);
    } else if (std::string problem = pictureFileProblem(job.path, job.size.width, job.size.height); !problem.empty()) {
        return cannotWrite(job.path, problem);
    }
    if (job.stripPath)
        if (std::string problem = pictureFileProblem(*job.stripPath, kStripWidth, kStripHeight); !problem.empty())
            return cannotWrite(*job.stripPath, problem);
    return {};
}

JobOutcome runPictureJob(const PictureJob& job, const Progress& progress, const CancelToken* cancel, FileCalls& calls)
{
    if (std::string problem = jobProblem(job); !problem.empty())
        return {false, std::move(problem)};
    const std::optional<std::vector<EncodedFile>> encoded = encodeJob(job, progress, cancel);
    if (!encoded)
        return {true, {}};
    return writeEncoded(*encoded, job.replace, progress, cancel, calls);
}

} // namespace genart
