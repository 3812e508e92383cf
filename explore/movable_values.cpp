#include "explore/movable_values.h"

#include <algorithm>
#include <cmath>

#include "generator/picture_draws.h"

namespace genart::explore {
namespace {

// The generator's values are k / 2^24 for k = 0 .. 2^24 - 1.
constexpr double kRandomSteps = 16777216.0;

double nearestStep(double u)
{
    return std::clamp(std::nearbyint(u * kRandomSteps), 0.0, kRandomSteps - 1);
}

float generatorValue(double step)
{
    return static_cast<float>(step / kRandomSteps);
}

// A single-precision draw rounds, so neighbouring random values may give one value and the
// nearest random value need not give the value nearest `u`'s: of the few around it, the one
// whose value lies nearest. A value the draw gave comes back as itself.
float singleDrawNear(double u, DrawRule rule)
{
    const double wanted = u * rule.scale + rule.offset;
    const double nearest = nearestStep(u);
    float best = drawSingle(generatorValue(nearest), rule);
    for (double step = std::max(0.0, nearest - 2); step <= std::min(kRandomSteps - 1, nearest + 2); ++step) {
        const float value = drawSingle(generatorValue(step), rule);
        if (std::abs(value - wanted) < std::abs(best - wanted))
            best = value;
    }
    return best;
}

DrawRule ruleOf(Movable movable)
{
    switch (movable) {
    case Movable::Pozic0:
        return kPozic0Draw;
    case Movable::Fi0:
        return kFi0Draw;
    case Movable::R0:
        return kR0Draw;
    default:
        return kFakDraw;
    }
}

double valueOf(const PictureParameters& p, Movable movable)
{
    switch (movable) {
    case Movable::Pozic0:
        return p.pozic0;
    case Movable::Fi0:
        return p.fi0;
    case Movable::R0:
        return p.r0;
    case Movable::Fak1:
        return p.fak1;
    case Movable::Fak2:
        return p.fak2;
    case Movable::Fak3:
        break;
    }
    return p.fak3;
}

} // namespace

double randomValueOf(const PictureParameters& picture, Movable movable)
{
    const DrawRule rule = ruleOf(movable);
    const double middle = movable == Movable::Pozic0 ? 0.5 : 0.0;
    const double u = (valueOf(picture, movable) - rule.offset + middle) / rule.scale;
    return std::clamp(u, 0.0, 1.0 - 1.0 / kRandomSteps);
}

void setFromRandomValue(PictureParameters& p, Movable movable, double u)
{
    const float rnd = generatorValue(nearestStep(u));
    const DrawRule rule = ruleOf(movable);
    switch (movable) {
    case Movable::Pozic0:
        p.pozic0 = drawWhole(rnd, rule);
        break;
    case Movable::Fi0:
        p.fi0 = drawDouble(rnd, rule);
        break;
    case Movable::R0:
        p.r0 = singleDrawNear(u, rule);
        break;
    case Movable::Fak1:
        p.fak1 = singleDrawNear(u, rule);
        break;
    case Movable::Fak2:
        p.fak2 = singleDrawNear(u, rule);
        break;
    case Movable::Fak3:
        p.fak3 = singleDrawNear(u, rule);
        break;
    }
}

double backInRange(Movable movable, double u)
{
    if (movable == Movable::Fi0)
        return u - std::floor(u);
    if (u < 0)
        u = -u;
    if (u >= 1)
        u = 2 - u;
    return std::clamp(u, 0.0, 1.0);
}

} // namespace genart::explore
