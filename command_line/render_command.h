#pragma once

#include <iosfwd>

#include "command_line/command_line.h"

namespace genart {

// Draws start-up's palette and picture and then each action without a window, and writes
// the picture and, if asked, the strip as PNG files. Needs a QGuiApplication (any platform).
// Returns the process exit status: 0 done, 1 a file could not be written (nothing half-written
// is left, nothing replaced is lost), 2 a bad recipe, or --out and --palette-out naming one
// file (by any path or link). Every message is one printable line.
int runRender(const RenderOptions& options, std::ostream& errors);

} // namespace genart
