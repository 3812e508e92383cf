#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "generator/generation_state.h"
#include "palette/palette_strip.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "session/picture_session.h"
#include "support/memory_surface.h"
#include "support/replay_random.h"

namespace genart::testing {

// The moment the tests' pictures are named after, unless a test needs another one.
inline FixedClock testClock()
{
    return FixedClock(2026, 12, 8, 12, 0, 0);
}

// A picture session that draws on memory surfaces, as the window does on its two: the picture
// on Picture1 (`scale` times the normal size) and the palette strip on Picture2. It has its
// own random generator and a clock that always reads the same moment. The session holds on to
// all of them, so the whole cannot be copied.
template <typename Random>
class SessionOnMemory {
public:
    SessionOnMemory(const SessionOnMemory&) = delete;
    SessionOnMemory& operator=(const SessionOnMemory&) = delete;

    GenerationState& state() { return session.state(); }
    ImageGenerator& generator() { return session.generator(); }

    // What start-up does before its first picture, without seeding: the fixed state, then a
    // palette. The parameters of a picture can be drawn next.
    void setUpWithPalette()
    {
        setFixedState(state());
        session.NewPalette();
    }

    Random random;
    FixedClock clock;
    MemorySurface picture;
    MemorySurface strip;
    PictureSession session;

protected:
    SessionOnMemory(Random randomSource, const FixedClock& fixedClock, int scale, MemorySurface::Access access)
        : random(std::move(randomSource)), clock(fixedClock),
          picture(kPictureWidth * scale, kPictureHeight * scale, access), strip(kStripWidth, kStripHeight),
          session(random, clock, picture, strip)
    {
    }
};

// A session on the Mersenne twister with a given seed.
class SeededSession : public SessionOnMemory<TwisterRandom> {
public:
    explicit SeededSession(std::uint32_t seedValue, const FixedClock& fixedClock = testClock(), int scale = 1,
                           MemorySurface::Access access = MemorySurface::Access::PixelRows)
        : SessionOnMemory(TwisterRandom(seedValue), fixedClock, scale, access), seed(seedValue)
    {
    }

    // Start-up with the session's seed: the first palette and the first picture.
    void startUp() { session.startUp(seed); }

    const std::uint32_t seed;
};

// A session whose random values are given one by one.
class ReplayedSession : public SessionOnMemory<ReplayRandom> {
public:
    explicit ReplayedSession(std::vector<float> values, const FixedClock& fixedClock = testClock())
        : SessionOnMemory(ReplayRandom(std::move(values)), fixedClock, 1, MemorySurface::Access::PixelRows)
    {
    }
};

} // namespace genart::testing
