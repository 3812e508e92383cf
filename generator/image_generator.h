#pragma once

#include <string>

#include "generator/generation_state.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "platform/surface.h"

namespace genart {

// The procedures that turn one picture's random parameters into pixels. Like the window
// they serve, they take no arguments: each reads and writes the shared generation state.
class ImageGenerator {
public:
    ImageGenerator(GenerationState& state, RandomSource& random, const Clock& clock,
                   Surface& picture, const Surface& palette)
        : s(state), random_(random), clock_(clock), picture_(picture), palette_(palette)
    {
    }

    // Names the picture and draws its nine random parameters.
    void DrawParameters();
    // Sweeps the 601 x 451 positions column by column through the five per-pixel steps.
    void RenderImage();
    // The same picture sampled `scale` times more finely in each direction (any scale above 0,
    // not only whole ones), onto a surface that large; scale 1 is exactly RenderImage.
    void RenderPoster(double scale);

    // The per-pixel steps, in the order the sweep runs them.
    void PolarFrame();
    void ShapeStage();
    void ChannelStage();
    void ToneStage();
    void PlotPixel();

    // The part of PolarFrame after the drift has advanced: the centre's angle, then the
    // pixel's distance and angle from the centre.
    void MeasureFromCentre();

private:
    GenerationState& s;
    RandomSource& random_;
    const Clock& clock_;
    Surface& picture_;
    const Surface& palette_;
};

// The name of a picture begun now: "T" followed by the date and time the clock reads,
// T20261208120000.
std::string pictureNameNow(const Clock& clock);

} // namespace genart
