#include "explore/variations.h"

#include <algorithm>
#include <cmath>

namespace genart::explore {

std::vector<VariationStep> drawVariationSteps(RandomSource& random, int count)
{
    std::vector<VariationStep> steps(static_cast<std::size_t>(std::max(0, count)));
    for (VariationStep& step : steps)
        for (double& way : step)
            way = 2.0 * random.next() - 1.0;
    return steps;
}

double reachAt(double strength)
{
    constexpr double kSubtle = 0.01;
    constexpr double kWild = 0.5;
    return kSubtle * std::pow(kWild / kSubtle, std::clamp(strength, 0.0, 1.0));
}

Recipe variation(const Recipe& picture, const VariationStep& step, double strength, const std::string& name)
{
    Recipe varied = picture;
    varied.imeslike = name;
    const double reach = reachAt(strength);
    for (int n = 0; n < kMovables; ++n) {
        const Movable movable = kEveryMovable[n];
        const double moved = randomValueOf(picture.picture, movable) + reach * step[static_cast<std::size_t>(n)];
        setFromRandomValue(varied.picture, movable, backInRange(movable, moved));
    }
    return varied;
}

std::vector<Recipe> variations(const Recipe& picture, const std::vector<VariationStep>& steps, double strength,
                               const std::string& name)
{
    std::vector<Recipe> varied;
    for (const VariationStep& step : steps)
        varied.push_back(variation(picture, step, strength, name));
    return varied;
}

} // namespace genart::explore
