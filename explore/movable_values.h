#pragma once

#include "generator/generation_state.h"

namespace genart::explore {

// The values of a picture that variations move and mixes blend, in the order they are drawn:
// the first palette column, the centre's phase and radius, and the three channel factors.
enum class Movable { Pozic0, Fi0, R0, Fak1, Fak2, Fak3 };
inline constexpr int kMovables = 6;
inline constexpr Movable kEveryMovable[kMovables] = {Movable::Pozic0, Movable::Fi0,  Movable::R0,
                                                     Movable::Fak1,   Movable::Fak2, Movable::Fak3};

// Where the value lies in the range its draw gives it, as the random value (0 <= u < 1) that
// draws it; for a whole number, the middle of the random values that draw it.
double randomValueOf(const PictureParameters& picture, Movable movable);

// Sets the value to what its draw gives for the random value nearest `u` that the generator can
// give (a multiple of 2^-24 from 0 up to just below 1): always a value the draw could produce,
// in the precision it produces it.
void setFromRandomValue(PictureParameters& picture, Movable movable, double u);

// A random value moved off its range brought back into it: the centre's phase goes round (its
// range falls short of a full turn by less than 0.0002 radians), every other value is reflected
// at the end it passed.
double backInRange(Movable movable, double u);

} // namespace genart::explore
