#include <gtest/gtest.h>

#include "explore/new_pictures.h"
#include "support/seeded_session.h"

namespace genart {
namespace {

// The candidates are the presses themselves: the same recipes, carried values and all, and the
// generator left where twelve presses leave it, whatever the session did before.
TEST(NewPictures, AreWhatTwelvePressesWouldDraw)
{
    const std::vector<std::vector<Action>> before{{}, {Action::Image}, {Action::Both, Action::Palette}};
    for (std::uint32_t seed : {1u, 42u, 2026u}) {
        for (const auto& actions : before) {
            testing::SeededSession window(seed);
            window.startUp();
            for (const Action action : actions)
                window.session.perform(action);
            TwisterRandom explorer = window.random;
            const auto candidates = explore::newPictures(window.state().carried, explorer, window.clock, 12);
            ASSERT_EQ(candidates.size(), 12u);
            for (const Recipe& candidate : candidates) {
                window.session.perform(Action::Both);
                EXPECT_EQ(candidate, window.session.recipe()) << "seed " << seed;
            }
            EXPECT_EQ(explorer.next(), window.random.next());
        }
    }
}

} // namespace
} // namespace genart
