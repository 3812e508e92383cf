#include "palette/palette_strip.h"

#include <cmath>

#include "generator/evaluation.h"
#include "platform/rounding.h"

namespace genart {
namespace {

// lead + rnd * factor with the product and the sum each rounded to single precision.
// Kept in float variables on purpose: near rnd = 1 the roundings lift a scale to the next
// whole number and a stretch to exactly twice its scale.
float singleSum(float lead, float rnd, float factor)
{
    const float product = rnd * factor;
    const float sum = lead + product;
    return sum;
}

// One wave, from 0 to 252: the sines are scaled by 126.
double wave(double phase, float stretch, int column)
{
    return (std::sin(phase + (column / static_cast<double>(stretch))) + 1) * 126;
}

int component(double value)
{
    return *toInt16(value); // 0..252 always fits
}

} // namespace

PaletteParameters drawPaletteParameters(RandomSource& random)
{
    PaletteParameters p;
    p.base = wholeNumberDraw(random.next(), 10, 10);
    p.spread = wholeNumberDraw(random.next(), 10, 10);
    for (float& scale : p.scale)
        scale = std::floor(singleSum(p.base, random.next(), p.spread));
    for (double& phase : p.phase)
        phase = doubleDraw(random.next(), 6.28);
    for (int n = 0; n < 3; ++n)
        p.stretch[n] = singleSum(p.scale[n], random.next(), p.scale[n]);
    return p;
}

void paintPalette(const PaletteParameters& p, GenerationState& s, Surface& strip)
{
    // Every column is painted over; nothing of the previous palette survives.
    for (int k = 0; k < kPaletteColumns; ++k) {
        s.carried.re = wave(p.phase[0], p.stretch[0], k);
        s.carried.gr = wave(p.phase[1], p.stretch[1], k);
        s.carried.bl = wave(p.phase[2], p.stretch[2], k);
        const Colour colour = rgb(component(s.carried.re), component(s.carried.gr), component(s.carried.bl));
        strip.Line(static_cast<float>(k), 0.0f, static_cast<float>(k), static_cast<float>(kStripHeight), colour);
    }
}

void NewPalette(GenerationState& state, RandomSource& random, Surface& strip)
{
    paintPalette(drawPaletteParameters(random), state, strip);
}

} // namespace genart
