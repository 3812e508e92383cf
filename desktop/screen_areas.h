#pragma once

#include <vector>

#include "desktop/desktop_context.h"

namespace genart {

// The screens Qt knows, each in device pixels; none on a platform without screens of its own.
std::vector<ScreenArea> screenAreas();

} // namespace genart
