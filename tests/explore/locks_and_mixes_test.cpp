#include <gtest/gtest.h>

#include <algorithm>

#include "explore/locks.h"
#include "explore/mixes.h"
#include "explore_pictures.h"

namespace genart {
namespace {

using explore::Locks;
using explore::Origin;

bool sameFormula(const PictureParameters& a, const PictureParameters& b)
{
    return a.tip1 == b.tip1 && a.tip2 == b.tip2 && a.tip3 == b.tip3;
}

bool sameForm(const PictureParameters& a, const PictureParameters& b)
{
    return a.fi0 == b.fi0 && a.r0 == b.r0 && a.fak1 == b.fak1 && a.fak2 == b.fak2 && a.fak3 == b.fak3;
}

bool sameColours(const Recipe& a, const Recipe& b)
{
    return a.palette == b.palette && a.picture.pozic0 == b.picture.pozic0;
}

// Every combination of locks keeps exactly what it locks and takes the rest from the fresh
// values; what comes out is a picture the draw could make, named as told.
TEST(Locks, KeepWhatIsLockedAndDrawTheRestAnew)
{
    const Recipe picture = testing::picturesOfEveryFormula(12, 1).front();
    TwisterRandom random(6);
    const auto fresh = explore::drawFreshValues(random, 4);
    for (int combination = 0; combination < 8; ++combination) {
        const Locks locks{(combination & 1) != 0, (combination & 2) != 0, (combination & 4) != 0};
        for (const explore::FreshValues& values : fresh) {
            const Recipe made = explore::withLocks(picture, values, locks, "T20261208120003");
            const Recipe freshOnly{"", values.palette, values.picture, {}, {}};
            EXPECT_TRUE(sameFormula(made.picture, (locks.formula ? picture : freshOnly).picture));
            EXPECT_TRUE(sameForm(made.picture, (locks.form ? picture : freshOnly).picture));
            EXPECT_TRUE(sameColours(made, locks.colours ? picture : freshOnly));
            EXPECT_EQ(made.carried, picture.carried);
            testing::readsBack(made);
        }
    }
    EXPECT_EQ(explore::originOf({}), Origin::Explore);
    EXPECT_EQ(explore::originOf({true, true, false}), Origin::Recolour);
    EXPECT_EQ(explore::originOf({true, false, true}), Origin::Variation);
    EXPECT_EQ(explore::originOf({false, true, false}), Origin::Variation);
}

// Half the children have the formula of the first and the colours of the second, half the other
// way round; their form lies between their parents', starting at the formula's parent's own.
TEST(Mixes, TakeTheFormOfOneAndTheColoursOfTheOther)
{
    const auto pictures = testing::picturesOfEveryFormula(40, 6);
    for (std::size_t n = 0; n + 1 < pictures.size(); ++n) {
        const Recipe& a = pictures[n];
        const Recipe& b = pictures[n + 1];
        const auto children = explore::mixes(a, b, 12, "T20261208120004");
        ASSERT_EQ(children.size(), 12u);
        for (std::size_t c = 0; c < children.size(); ++c) {
            const Recipe& child = children[c];
            const Recipe& form = c < 6 ? a : b;
            const Recipe& colours = c < 6 ? b : a;
            EXPECT_TRUE(sameFormula(child.picture, form.picture));
            EXPECT_TRUE(sameColours(child, colours));
            EXPECT_EQ(child.carried, form.carried);
            const auto between = [](double value, double one, double other) {
                const double slack = 1e-6 * std::max(1.0, std::abs(one));
                return value >= std::min(one, other) - slack && value <= std::max(one, other) + slack;
            };
            EXPECT_TRUE(between(child.picture.fi0, form.picture.fi0, colours.picture.fi0));
            EXPECT_TRUE(between(child.picture.r0, form.picture.r0, colours.picture.r0));
            EXPECT_TRUE(between(child.picture.fak2, form.picture.fak2, colours.picture.fak2));
            testing::readsBack(child);
        }
        EXPECT_TRUE(sameForm(children[0].picture, a.picture));
        EXPECT_TRUE(sameForm(children[6].picture, b.picture));
        EXPECT_FALSE(sameForm(children[5].picture, a.picture));
    }
}

} // namespace
} // namespace genart
