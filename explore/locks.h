#pragma once

#include <string>
#include <vector>

#include "explore/origin.h"
#include "generator/generation_state.h"
#include "palette/palette_strip.h"
#include "platform/random_source.h"
#include "session/recipe.h"

namespace genart::explore {

// The parts of a picture that stay when the rest is drawn anew.
struct Locks {
    bool formula = false; // the shape formula with its channel and tone variants: tip1, tip2, tip3
    bool form = false;    // the centre's phase and radius and the channel factors: fi0, r0, fak1..fak3
    bool colours = false; // the palette and the first palette column, pozic0

    bool operator==(const Locks&) const = default;
};

// A palette and a picture's nine values, as one press of "new img / new palette" draws them.
struct FreshValues {
    PaletteParameters palette;
    PictureParameters picture;
};

// Fresh values for `count` pictures, twenty random values each. Drawn once, so that changing the
// locks shows at once what each picture keeps and takes.
std::vector<FreshValues> drawFreshValues(RandomSource& random, int count);

// The picture with what `locks` keeps and the rest from `fresh`; its carried values kept.
// Named `name`.
Recipe withLocks(const Recipe& picture, const FreshValues& fresh, const Locks& locks, const std::string& name);

std::vector<Recipe> withLocks(const Recipe& picture, const std::vector<FreshValues>& fresh, const Locks& locks,
                              const std::string& name);

// How a picture made so came about: a new picture when nothing is kept, a recolouring when only
// the colours are new, else a variation.
Origin originOf(const Locks& locks);

} // namespace genart::explore
