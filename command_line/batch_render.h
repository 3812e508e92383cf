#pragma once

#include <iosfwd>

#include "command_line/command_line.h"
#include "platform/clock.h"

namespace genart {

// Writes a batch of pictures into options.outDir, named after their time stamps with -2, -3 ...
// where a name repeats. Either every picture is written or, when one cannot be (an existing
// file without --force, an I/O error), the ones this run wrote are removed again.
// Returns the exit status: 0 done, 1 a file could not be written.
int runBatch(const RenderOptions& options, const Clock& clock, std::ostream& errors);

} // namespace genart
