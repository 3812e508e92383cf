#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "palette/palette_strip.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "session/picture_session.h"

namespace genart {

// A picture session with the two surfaces it draws on, made in one place for whoever draws
// sessions: the window, the command line, the benchmarks and the tests. `Surface` is any
// surface made from a width and a height (an image; the tests' memory surface). The session
// holds on to the surfaces, so the whole is neither copied nor moved.
template <class Surface>
class SessionOn {
public:
    // On a generator and a clock that outlive it (the window's, which are given to it).
    SessionOn(RandomSource& random, const Clock& clock) : session(random, clock, picture, strip) {}
    // With a generator of its own, the Mersenne twister every session seeds, and `clock`.
    explicit SessionOn(std::shared_ptr<const Clock> clock)
        : ownRandom_(std::make_unique<TwisterRandom>()), ownClock_(std::move(clock)),
          session(*ownRandom_, *ownClock_, picture, strip)
    {
    }
    SessionOn(const SessionOn&) = delete;
    SessionOn& operator=(const SessionOn&) = delete;

    // Start-up for `seed`, then each press in turn.
    SessionOn& play(std::uint32_t seed, const std::vector<Action>& actions = {})
    {
        session.startUp(seed);
        for (const Action action : actions)
            session.perform(action);
        return *this;
    }

private:
    std::unique_ptr<TwisterRandom> ownRandom_;
    std::shared_ptr<const Clock> ownClock_;

public:
    Surface picture{kPictureWidth, kPictureHeight}; // Picture1
    Surface strip{kStripWidth, kStripHeight};       // Picture2
    PictureSession session;
};

} // namespace genart
