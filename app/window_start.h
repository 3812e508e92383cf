#pragma once

#include <cstdint>
#include <optional>

#include "session/recipe.h"

namespace genart {

// Opens the window on the user's display and runs it until it is closed. With `history`, every
// picture is kept in the library in genart's data folder, with those of earlier runs and other
// windows. Without a display, or with one that cannot be reached, says so in one line and
// returns 2. An `opened` picture is shown once the window has started, as the newest entry.
// Returns the program's exit status.
int openWindow(std::optional<std::uint32_t> seed, bool history, char* program,
               const std::optional<Recipe>& opened = std::nullopt);

} // namespace genart
