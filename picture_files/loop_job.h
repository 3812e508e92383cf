#pragma once

#include <optional>

#include "picture_files/picture_job.h"
#include "picture_files/still_job.h"
#include "platform/progress.h"

namespace genart {

// Draws the job's picture once, then streams its frames one by one to the encoder the path's
// extension names (.webp: animated WebP, lossless, looping forever, with the recipe in its XMP
// metadata; .mp4: H.264 video): the encoder keeps what it has encoded, never the frames. The
// loop's bytes, or why it could not be encoded; nothing when cancelled.
std::optional<EncodedFile> encodeLoop(const PictureJob& job, const Progress& progress = {},
                                      const CancelToken* cancel = nullptr);

} // namespace genart
