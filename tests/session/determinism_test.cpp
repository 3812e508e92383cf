#include <vector>

#include <gtest/gtest.h>

#include "support/seeded_session.h"

namespace genart {
namespace {

using testing::MemorySurface;
using testing::differences;

struct Frames {
    std::vector<MemorySurface> pictures;
    std::vector<MemorySurface> strips;
};

// Start-up followed by the given actions; keeps both surfaces after start-up and after every
// action.
Frames drawHeadless(std::uint32_t seed, const std::vector<Action>& actions)
{
    testing::SeededSession f(seed, FixedClock(2026, 1, 2, 3, 4, 5));
    Frames frames;
    const auto keep = [&] {
        frames.pictures.push_back(f.picture);
        frames.strips.push_back(f.strip);
    };
    f.startUp();
    keep();
    for (const Action action : actions) {
        f.session.perform(action);
        keep();
    }
    return frames;
}

bool same(const MemorySurface& a, const MemorySurface& b)
{
    return a.pixels() == b.pixels() && a.printed == b.printed;
}

const std::vector<Action> kActions{Action::Image, Action::Palette, Action::Both};

TEST(Determinism, SameSeedSameActionsSamePixels)
{
    const Frames first = drawHeadless(7, kActions);
    const Frames second = drawHeadless(7, kActions);
    ASSERT_EQ(first.pictures.size(), 4u);
    ASSERT_EQ(second.pictures.size(), 4u);
    for (std::size_t n = 0; n < first.pictures.size(); ++n) {
        EXPECT_TRUE(same(first.pictures[n], second.pictures[n])) << "picture after step " << n;
        EXPECT_TRUE(same(first.strips[n], second.strips[n])) << "strip after step " << n;
    }
    // The sequence really went somewhere: each step changed what it should, and only that.
    EXPECT_NE(differences(first.pictures[0], first.pictures[1]), "");
    EXPECT_EQ(differences(first.strips[0], first.strips[1]), "");
    EXPECT_EQ(differences(first.pictures[1], first.pictures[2]), "");
    EXPECT_NE(differences(first.strips[1], first.strips[2]), "");
    EXPECT_NE(differences(first.pictures[2], first.pictures[3]), "");
    EXPECT_NE(differences(first.strips[2], first.strips[3]), "");
    // Every picture is captioned: three texts each for start-up, the new image and "both".
    EXPECT_EQ(first.pictures[3].printed.size(), 9u);
}

TEST(Determinism, DifferentSeedDifferentPicture)
{
    const Frames a = drawHeadless(7, {});
    const Frames b = drawHeadless(8, {});
    EXPECT_NE(differences(a.pictures[0], b.pictures[0]), "");
    EXPECT_NE(differences(a.strips[0], b.strips[0]), "");
}

} // namespace
} // namespace genart
