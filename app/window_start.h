#pragma once

#include <cstdint>
#include <optional>

#include "session/recipe.h"

namespace genart {

// Opens the window on the user's display and runs it until it is closed. With `history`, the
// pictures of earlier runs come first and this run's are kept for the next, in the application's
// data folder. Without a display, or with one that cannot be reached, says so in one line and
// returns 2. An `opened` picture is shown once the window has started, as the newest entry.
// Returns the program's exit status.
int openWindow(std::optional<std::uint32_t> seed, bool history, char* program,
               const std::optional<Recipe>& opened = std::nullopt);

} // namespace genart
