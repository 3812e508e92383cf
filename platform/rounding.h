#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace genart {

// Conversion of a number to a whole number: nearest, ties to the even neighbour
// (2.5 gives 2, 3.5 gives 4). Empty when the result does not fit the type.
inline std::optional<std::int16_t> toInt16(double value)
{
    const double rounded = std::nearbyint(value); // default rounding mode: ties to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

inline std::optional<std::int32_t> toInt32(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

} // namespace genart
