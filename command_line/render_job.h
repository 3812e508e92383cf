#pragma once

#include <string>
#include <variant>

#include "command_line/command_line.h"
#include "picture_files/picture_job.h"
#include "session/recipe.h"

namespace genart {

// The clock `genart render` names its pictures by: --time, or else the system's.
std::shared_ptr<const Clock> clockFor(const RenderOptions& options);

// The file a single render (not a batch) makes, as a job: from --seed and --actions or from
// --recipe or --code, at --scale or --size, still or --animate (fitted to --share's budget), to
// --out (and --palette-out). A recipe
// that cannot be read gives its one-line error instead.
std::variant<PictureJob, RecipeError> renderJob(const RenderOptions& options);

} // namespace genart
