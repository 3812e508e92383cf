#pragma once

#include <vector>

#include "generator/generation_state.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "session/recipe.h"

namespace genart::explore {

// What the next `count` presses of "new img / new palette" would draw, in order, in a session
// whose last drawing left `carried`: each picture's recipe exactly as the press would record it,
// carried values included (the new strip's last column in re, gr and bl, what the picture before
// left in ba and barva). Takes the presses' values from `random`, twenty a picture, and names
// each picture from `clock`.
std::vector<Recipe> newPictures(const CarriedValues& carried, RandomSource& random, const Clock& clock, int count);

} // namespace genart::explore
