#pragma once

#include "picture_files/picture_job.h"

namespace genart {

// The entry a job's source names, with whatever of it is already drawn. A session's actions
// are replayed, every picture drawn but the last, which the job draws once at its own size;
// its strip comes as the session painted it.
EntrySource resolveSource(const PictureSource& source);

} // namespace genart
