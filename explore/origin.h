#pragma once

#include <string>

namespace genart::explore {

// How a picture made by exploring came about, as the library keeps it.
enum class Origin { Explore, Variation, Recolour, Mix };

inline std::string originName(Origin origin)
{
    switch (origin) {
    case Origin::Variation:
        return "variation";
    case Origin::Recolour:
        return "recolour";
    case Origin::Mix:
        return "mix";
    case Origin::Explore:
        break;
    }
    return "explore";
}

} // namespace genart::explore
