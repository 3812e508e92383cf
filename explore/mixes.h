#pragma once

#include <string>
#include <vector>

#include "session/recipe.h"

namespace genart::explore {

// `count` children of two pictures. The first half take the formula (tip1..tip3) and the carried
// values of `first` and the colours (palette and pozic0) of `second`; the rest the other way
// round. The form's values (fi0, r0, fak1..fak3) of each child lie between its parents', from
// the formula's parent's own to halfway, every one a value its draw could produce. Named `name`.
std::vector<Recipe> mixes(const Recipe& first, const Recipe& second, int count, const std::string& name);

} // namespace genart::explore
