#pragma once

#include <iosfwd>

#include "command_line/desktop_options.h"

namespace genart {

// `genart wallpaper`: draws the picture asked for at the largest screen's size (or --size),
// writes it into genart's wallpaper folder, keeps it in the library and makes it the wallpaper;
// or, with --daily, switches the daily timer. Needs a QGuiApplication, on the display if there
// is one. Returns the exit status: 0 done, 1 nothing could set it or a file could not be
// written, 2 a bad recipe, an entry or favourite the library cannot give, no screen to measure.
// Every message is one line: what was done on `out`, what went wrong on `errors`.
int runWallpaper(const WallpaperOptions& options, std::ostream& out, std::ostream& errors);

} // namespace genart
