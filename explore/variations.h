#pragma once

#include <array>
#include <string>
#include <vector>

#include "explore/movable_values.h"
#include "platform/random_source.h"
#include "session/recipe.h"

namespace genart::explore {

// Which way and how far, from -1 to 1, each movable value of one variation goes at full reach.
using VariationStep = std::array<double, kMovables>;

// The steps of `count` variations, six random values each. Drawn once, they let the same
// variations grow from subtle to wild as the strength changes.
std::vector<VariationStep> drawVariationSteps(RandomSource& random, int count);

// How far a value may go at `strength`, from 0 (subtle) to 1 (wild), as a share of the range
// its draw gives it: 1 % to 50 %, growing evenly on a logarithmic scale.
double reachAt(double strength);

// The picture with its formula, channel and tone variants, its strip and its carried values
// kept and its movable values taken `strength` along each step: every value one its draw could
// have produced. Named `name`.
Recipe variation(const Recipe& picture, const VariationStep& step, double strength, const std::string& name);

std::vector<Recipe> variations(const Recipe& picture, const std::vector<VariationStep>& steps, double strength,
                               const std::string& name);

} // namespace genart::explore
