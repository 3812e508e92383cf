#pragma once

#include <string>
#include <vector>

#include "platform/random_source.h"
#include "session/recipe.h"

namespace genart::explore {

// The picture in `count` new colourings: every value it drew and every value it carries kept,
// so each shows the same form, and a new palette drawn for each (eleven values from `random`,
// as "change palette" draws them). Named `name`.
std::vector<Recipe> recolourings(const Recipe& picture, RandomSource& random, int count, const std::string& name);

} // namespace genart::explore
