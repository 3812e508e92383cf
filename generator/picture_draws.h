#pragma once

#include "generator/evaluation.h"
#include "generator/generation_state.h"
#include "platform/random_source.h"

namespace genart {

// How each of a picture's nine values comes from one random value rnd: rnd * scale + offset,
// in the kind of arithmetic its draw uses (generator/evaluation.h).
struct DrawRule {
    double scale;
    double offset;
};

inline constexpr DrawRule kTip1Draw{15, 1};    // whole number, 1..15
inline constexpr DrawRule kTip2Draw{3, 1};     // whole number, 1..3
inline constexpr DrawRule kTip3Draw{4, 1};     // whole number, 1..4
inline constexpr DrawRule kPozic0Draw{300, 5}; // whole number, 5..304
inline constexpr DrawRule kFi0Draw{6.283, 0};  // double, [0, 6.283): not quite a full turn
inline constexpr DrawRule kR0Draw{3, 1};       // single, [1, 4)
inline constexpr DrawRule kFakDraw{10, 10};    // single, 10..20 (20 itself by rounding)

inline float drawWhole(float rnd, DrawRule rule) { return wholeNumberDraw(rnd, rule.scale, rule.offset); }
inline double drawDouble(float rnd, DrawRule rule) { return doubleDraw(rnd, rule.scale) + rule.offset; }
inline float drawSingle(float rnd, DrawRule rule) { return singleDraw(rnd, rule.scale, rule.offset); }

// The nine values, taking nine values from the generator in the fixed order of the draw.
PictureParameters drawPictureParameters(RandomSource& random);

} // namespace genart
