#pragma once

#include <string>

#include "files/file_calls.h"
#include "picture_files/picture_job.h"
#include "platform/progress.h"

namespace genart {

// Why the job cannot be done as it stands (its path names no format of its kind, or one that
// cannot hold its size), as one printable line naming the path; "" when it can.
std::string jobProblem(const PictureJob& job);

// Makes the job's file: draws the picture once, at its final size (a loop's frames from that
// one drawing), encodes it and writes it with its strip, if any, through OutputFiles alone: the
// files appear whole or not at all, an existing one is replaced only as the job says, and on
// any failure nothing is left under their names and the reason is told. `progress` hears each
// stage in turn; `cancel` stops it at any stage, leaving nothing. Runs on the calling thread.
JobOutcome runPictureJob(const PictureJob& job, const Progress& progress = {}, const CancelToken* cancel = nullptr,
                         FileCalls& calls = systemFileCalls());

} // namespace genart
