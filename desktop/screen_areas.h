#pragma once

#include <vector>

#include "desktop/desktop_context.h"

namespace genart {

// The screens Qt knows, each in device pixels.
std::vector<ScreenArea> qtScreenAreas();
// The same, but none where Qt draws off-screen: its one screen there is a stand-in.
std::vector<ScreenArea> screenAreas();

} // namespace genart
