#pragma once

#include "files/file_calls.h"
#include "picture_files/picture_job.h"
#include "platform/progress.h"

namespace genart {

// Why a loop job cannot be done as it stands (its path names no loop format, or one that cannot
// hold the loop), to be told after "cannot write: ", or "". A loop fitted to a budget may leave
// the format to the fitting.
std::string loopJobProblem(const PictureJob& job);

// Draws the job's picture once, then streams its frames one by one to the encoder its path's
// extension names, straight into a staged file that takes the path whole at the end (see
// OutputFiles): one frame is held, never the loop. With a budget, tries formats, sizes and
// qualities until the file fits (see fitLoop). Cancelled at any stage, it leaves nothing.
JobOutcome runLoopJob(const PictureJob& job, const Progress& progress, const CancelToken* cancel, FileCalls& calls);

} // namespace genart
