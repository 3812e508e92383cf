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
    return {false, std::move(failure), encoded.front().path};
}

} // namespace

std::string jobProblem(const PictureJob& job)
{
    if (job.loop) {
        if (std::string problem = loopJobProblem(job); !problem.empty())
            return cannotWrite(job.path, problem);
    } else if (job.format) {
        if (std::string problem = sizeProblem(*job.format, job.size.width, job.size.height); !problem.empty())
            return cannotWrite(job.path, problem);
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
    if (job.loop)
        return runLoopJob(job, progress, cancel, calls);
    std::optional<DrawnStill> drawn = drawStill(job, progress, cancel);
    if (!drawn)
        return {true, {}};
    if (progress)
        progress(Stage::Encoding, 0);
    const std::optional<std::vector<EncodedFile>> encoded = encodeStill(job, *drawn, progress, cancel);
    if (!encoded)
        return {true, {}};
    JobOutcome outcome = writeEncoded(*encoded, job.replace, progress, cancel, calls);
    outcome.picture = std::move(drawn->picture);
    return outcome;
}

} // namespace genart
