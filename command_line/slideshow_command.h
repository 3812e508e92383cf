#pragma once

#include "command_line/desktop_options.h"

namespace genart {

// `genart --slideshow`: every screen filled with pictures until a key or a click; or, given a
// window (--window-id, --root, XSCREENSAVER_WINDOW), the same drawn into it at low priority
// until SIGTERM. Makes its own application. Returns the exit status: 0 when the show ended, 2
// for a window that is not there, no display, no favourites to show; one line says why.
int runSlideshow(const SlideshowOptions& options, char* program);

} // namespace genart
