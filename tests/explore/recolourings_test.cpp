#include <gtest/gtest.h>

#include "explore/recolourings.h"
#include "explore_pictures.h"
#include "support/memory_surface.h"

namespace genart {
namespace {

// Each pixel's palette entry, which is the picture's form whatever its colours.
std::vector<std::uint16_t> formOf(const Recipe& recipe)
{
    testing::MemorySurface picture(180, 135);
    testing::MemorySurface strip(kStripWidth, kStripHeight);
    std::vector<std::uint16_t> entries;
    drawRecipe(recipe, picture, strip, 0.3, {}, nullptr, false, &entries);
    return entries;
}

// Every drawn value of the picture and every carried value stay, so the form is the same pixel
// for pixel; each recolouring has a palette of its own.
TEST(Recolourings, KeepEveryPictureValueAndTheFormAndDrawNewPalettes)
{
    TwisterRandom random(4);
    for (const Recipe& picture : testing::picturesOfEveryFormula(23, 15)) {
        const auto coloured = explore::recolourings(picture, random, 12, "T20261208120002");
        ASSERT_EQ(coloured.size(), 12u);
        for (std::size_t n = 0; n < coloured.size(); ++n) {
            EXPECT_EQ(coloured[n].picture, picture.picture);
            EXPECT_EQ(coloured[n].carried, picture.carried);
            EXPECT_NE(coloured[n].palette, coloured[(n + 1) % coloured.size()].palette);
            testing::readsBack(coloured[n]);
        }
    }
    const Recipe picture = testing::picturesOfEveryFormula(31, 1).front();
    const auto form = formOf(picture);
    for (const Recipe& recipe : explore::recolourings(picture, random, 3, picture.imeslike))
        EXPECT_EQ(formOf(recipe), form);
}

} // namespace
} // namespace genart
