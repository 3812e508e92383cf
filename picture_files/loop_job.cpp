#include "picture_files/loop_job.h"

#include "animation_files/loop_budget.h"
#include "file_formats/file_format.h"
#include "files/output_files.h"
#include "picture_files/job_source.h"

namespace genart {
namespace {

AnimationRequest requestOf(const PictureJob& job)
{
    return {job.loop->frames, job.loop->fps, job.size, job.caption, job.loop->quality};
}

// The loop staged in `files`: its path and, fitted to a budget, what was chosen; a failure or
// a cancel as they come.
JobOutcome stageJob(const PictureJob& job, const Recipe& recipe, OutputFiles& files, const Progress& progress,
                    const CancelToken* cancel)
{
    const std::optional<FileFormat> format = formatOfPath(job.path);
    if (job.loop->budget > 0) {
        LoopFitting fitting = fitLoop(recipe, requestOf(job), format, job.loop->budget, files, job.path, progress, cancel);
        if (std::holds_alternative<Cancelled>(fitting))
            return {true, {}};
        if (auto* failure = std::get_if<std::string>(&fitting))
            return {false, std::move(*failure)};
        const FittedLoop& fitted = std::get<FittedLoop>(fitting);
        return {false, {}, fitted.path, describeFit(fitted, job.loop->budget)};
    }
    EncodedLoop encoded = stageLoop(files, job.path, recipe, requestOf(job), *format, 0, progress, cancel);
    if (std::holds_alternative<Cancelled>(encoded))
        return {true, {}};
    if (auto* failure = std::get_if<std::string>(&encoded))
        return {false, std::move(*failure)};
    return {false, {}, job.path};
}

} // namespace

std::string loopJobProblem(const PictureJob& job)
{
    const std::optional<FileFormat> format = formatOfPath(job.path);
    if (!format) // with a budget, the fitting chooses
        return job.loop->budget > 0 ? std::string() : std::string("an animation is written as ") + kAnimationExtensions;
    return loopProblem(*format, requestOf(job));
}

JobOutcome runLoopJob(const PictureJob& job, const Progress& progress, const CancelToken* cancel, FileCalls& calls)
{
    const Recipe recipe = resolveSource(job.source).entry.picture;
    OutputFiles files(job.replace, newRunToken(), calls);
    JobOutcome outcome = stageJob(job, recipe, files, progress, cancel);
    if (!outcome.written())
        return outcome; // whatever was staged goes with `files`
    const std::optional<std::string> placed = placeLoop(files, cancel);
    if (!placed)
        return {true, {}};
    outcome.failure = *placed;
    if (progress)
        progress(Stage::Writing, 1);
    return outcome;
}

} // namespace genart
