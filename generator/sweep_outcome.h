#pragma once

#include "generator/generation_state.h"

namespace genart {

// The values the sweep of the picture in `state`, at the normal size, leaves to the picture
// drawn after it, as renderFast would leave them in the state, found without drawing the
// picture: from placeholders, the first position of the last column that writes all five
// settles them, so that column alone is swept. Where none of its positions does, the whole
// picture is swept, and nothing painted.
CarriedValues carriedAfterSweep(const GenerationState& state);

} // namespace genart
