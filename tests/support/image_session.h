#pragma once

#include <cstdint>
#include <initializer_list>

#include "platform/qt/image_surface.h"
#include "session/picture_session.h"

namespace genart::testing {

// A session on image surfaces, as the command line draws: start-up for `seed`, then each
// action, with a clock that always reads the same moment.
struct ImageSession {
    explicit ImageSession(std::uint32_t seed, std::initializer_list<Action> actions = {}) : random(seed)
    {
        session.startUp(seed);
        for (const Action action : actions)
            session.perform(action);
    }
    TwisterRandom random;
    FixedClock clock{2026, 12, 8, 9, 30, 0};
    ImageSurface picture{kPictureWidth, kPictureHeight};
    ImageSurface strip{kStripWidth, kStripHeight};
    PictureSession session{random, clock, picture, strip};
};

} // namespace genart::testing
