#pragma once

#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "explore/new_pictures.h"
#include "generator/picture_draws.h"
#include "session/recipe.h"
#include "support/replay_random.h"
#include "support/seeded_session.h"

namespace genart::testing {

// `count` pictures as a session would draw them from `seed`, each of every formula in turn, and
// two at the very ends of every range the draw gives (every random value 0, every one the largest).
inline std::vector<Recipe> picturesOfEveryFormula(std::uint32_t seed, int count)
{
    TwisterRandom random(seed);
    const FixedClock clock = testClock();
    std::vector<Recipe> pictures = explore::newPictures({}, random, clock, count);
    for (std::size_t n = 0; n < pictures.size(); ++n)
        pictures[n].picture.tip1 = static_cast<float>(n % 15 + 1);
    for (const float rnd : {0.0f, kLargestRandom}) {
        ReplayRandom ends(std::vector<float>(9, rnd));
        Recipe end = pictures.front();
        end.picture = drawPictureParameters(ends);
        pictures.push_back(end);
    }
    return pictures;
}

// The recipe read back from its text; fails the test, naming the key, if it is refused.
inline bool readsBack(const Recipe& recipe)
{
    const auto read = parseRecipe(recipeText(recipe));
    if (const auto* error = std::get_if<RecipeError>(&read)) {
        ADD_FAILURE() << error->message << "\n" << recipeText(recipe);
        return false;
    }
    EXPECT_EQ(std::get<Recipe>(read), recipe);
    return true;
}

} // namespace genart::testing
