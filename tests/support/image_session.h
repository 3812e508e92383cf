#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/qt/image_surface.h"
#include "session/session_on.h"

namespace genart::testing {

// The moment the image sessions' pictures are named after.
inline std::shared_ptr<const Clock> imageSessionClock()
{
    return std::make_shared<FixedClock>(2026, 12, 8, 9, 30, 0);
}

// A session on image surfaces, as the command line draws: start-up for `seed`, then each
// action, with a clock that always reads the same moment.
struct ImageSession : SessionOn<ImageSurface> {
    explicit ImageSession(std::uint32_t seed, const std::vector<Action>& actions = {},
                          std::shared_ptr<const Clock> clock = imageSessionClock())
        : SessionOn(std::move(clock))
    {
        play(seed, actions);
    }
};

} // namespace genart::testing
