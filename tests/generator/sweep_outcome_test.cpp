#include <gtest/gtest.h>

#include <cmath>

#include "generator/fast_renderer.h"
#include "generator/sweep_outcome.h"
#include "platform/no_surface.h"
#include "support/seeded_session.h"

namespace genart {
namespace {

// What the last column alone gives is what the whole sweep leaves, for pictures of every
// formula and of sessions whose carried values came from strips, from pictures and from both.
TEST(SweepOutcome, CarriedValuesAreThoseTheWholeSweepLeaves)
{
    int pictures = 0;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        testing::SeededSession session(seed);
        session.startUp();
        for (int press = 0; press < 4; ++press) {
            session.session.perform(press % 2 == 0 ? Action::Both : Action::Image);
            session.setUpWithPalette();
            session.generator().DrawParameters();
            GenerationState swept = session.state();
            const CarriedValues found = carriedAfterSweep(swept);
            NoSurface nowhere;
            renderFast(swept, session.strip, nowhere);
            EXPECT_EQ(found, swept.carried) << "seed " << seed << ", press " << press << ", formula "
                                            << session.state().picture.tip1;
            ++pictures;
        }
    }
    EXPECT_EQ(pictures, 160);
}

// A drift that does not start as every picture's does is added up, not taken from the usual sum;
// where no position of the last column settles the carried values (a centre whose phase is not
// a number fails every statement), the whole picture is swept.
TEST(SweepOutcome, FollowsADriftOfItsOwnAndSweepsAllWhenTheLastColumnSettlesNothing)
{
    testing::SeededSession session(7);
    session.startUp();
    GenerationState ownDrift = session.state();
    ownDrift.drift = startingDrift();
    ownDrift.drift.fi1 = 1.25;
    GenerationState unsettled = session.state();
    unsettled.drift = startingDrift();
    unsettled.picture.fi0 = std::nan("");
    unsettled.carried = {1, 2, 3, 4, 5};
    for (const GenerationState& state : {ownDrift, unsettled}) {
        GenerationState swept = state;
        NoSurface nowhere;
        renderFast(swept, session.strip, nowhere);
        EXPECT_EQ(carriedAfterSweep(state), swept.carried);
    }
}

} // namespace
} // namespace genart
