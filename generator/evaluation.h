#pragma once

#include <cmath>

#include "platform/rounding.h"

namespace genart {

// A statement of the formula stages either completes or is abandoned: division by zero,
// overflow and invalid operations (a negative number's root, a negative base raised to a
// fraction) all leave a non-finite double behind, and an abandoned statement leaves its
// target as it was. The formulas carry an intermediate infinity or NaN through to their
// result, so checking the result is enough; the one exception, a quotient by a power that
// overflows, checks the power itself.
inline void storeIfCompleted(double& target, double value)
{
    if (std::isfinite(value))
        target = value;
}

// A selector works like a computed jump over `variants` cases: rounded to a 16-bit whole
// number, 2..variants run that variant; 1, anything else and anything too large run variant 1.
inline int chosenVariant(double selector, int variants)
{
    const auto k = toInt16(selector);
    if (!k || *k < 2 || *k > variants)
        return 1;
    return *k;
}

// The three ways random values become parameters.
// Whole-number kind: rnd * scale + offset in double, rounded down, kept as a single.
inline float wholeNumberDraw(float rnd, double scale, double offset)
{
    return static_cast<float>(std::floor(static_cast<double>(rnd) * scale + offset));
}

// Double kind: rnd widened to double times a double constant.
inline double doubleDraw(float rnd, double scale)
{
    return static_cast<double>(rnd) * scale;
}

// Single kind: rnd * scale + offset formed in double and rounded once to single.
inline float singleDraw(float rnd, double scale, double offset)
{
    return static_cast<float>(static_cast<double>(rnd) * scale + offset);
}

} // namespace genart
