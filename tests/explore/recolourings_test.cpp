#include <gtest/gtest.h>

#include <set>

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
// for pixel; each recolouring has a palette of its own, drawn as "change palette" draws one.
TEST(Recolourings, KeepEveryPictureValueAndTheFormAndDrawNewPalettes)
{
    for (const Recipe& picture : testing::picturesOfEveryFormula(23, 15)) {
        TwisterRandom random(picture.picture.tip1 == 1 ? 4u : 9u);
        TwisterRandom same = random;
        const auto coloured = explore::recolourings(picture, random, 12, "T20261208120002");
        ASSERT_EQ(coloured.size(), 12u);
        std::set<std::vector<double>> palettes;
        for (const Recipe& recipe : coloured) {
            EXPECT_EQ(recipe.picture, picture.picture);
            EXPECT_EQ(recipe.carried, picture.carried);
            EXPECT_EQ(recipe.palette, drawPaletteParameters(same));
            palettes.insert({recipe.palette.phase.begin(), recipe.palette.phase.end()});
            testing::readsBack(recipe);
        }
        EXPECT_EQ(palettes.size(), 12u);
        EXPECT_EQ(random.next(), same.next());
    }
    const Recipe picture = testing::picturesOfEveryFormula(31, 1).front();
    TwisterRandom random(2);
    const auto form = formOf(picture);
    for (const Recipe& recipe : explore::recolourings(picture, random, 3, picture.imeslike))
        EXPECT_EQ(formOf(recipe), form);
}

} // namespace
} // namespace genart
