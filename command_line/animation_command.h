#pragma once

#include <iosfwd>

#include "command_line/command_line.h"
#include "platform/clock.h"

namespace genart {

// `genart render … --animate`: the picture of start-up and the actions (named by `clock`), or
// of a recipe, with its palette turned once round over --frames frames at --fps a second,
// written to --out as an animated WebP or an H.264 MP4 that appears whole or not at all.
// On a terminal, progress while it lasts and one line telling what was written. Returns the
// exit status as runRender does: 0, 1 the file could not be written, 2 a bad recipe.
int runAnimation(const RenderOptions& options, const Clock& clock, std::ostream& errors);

} // namespace genart
