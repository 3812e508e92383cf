#pragma once

#include <iosfwd>

#include "command_line/command_line.h"

namespace genart {

// Draws start-up's palette and picture and then each action without a window, and writes
// the picture and, if asked, the strip as PNG files. Needs a QGuiApplication (any platform).
// Returns the process exit status: 0 done, 1 a file could not be written, 2 a bad recipe.
int runRender(const RenderOptions& options, std::ostream& errors);

} // namespace genart
