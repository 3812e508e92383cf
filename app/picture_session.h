#pragma once

#include "generator/generation_state.h"
#include "generator/image_generator.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "platform/surface.h"

namespace genart {

// Web address and credit line printed under every picture.
inline constexpr const char* kWebAddress = "www.orvanik.example";
inline constexpr const char* kCreditLine = "Generative Art by Orvanik";

// The drawing side of the window: the generation state with the procedures that draw the
// palette strip and the picture on two surfaces. The window and the command-line renderer
// both drive one of these.
class PictureSession {
public:
    PictureSession(RandomSource& random, const Clock& clock, Surface& picture1, Surface& picture2);

    // Start-up's part of the state: the caption texts, then the picture geometry.
    void storeCaptionTexts();
    void setPictureGeometry();

    // What the buttons ask for.
    void NewPalette();
    void NewImage(); // parameters, sweep, caption; the palette is not touched

    GenerationState& state() { return state_; }
    const GenerationState& state() const { return state_; }
    ImageGenerator& generator() { return generator_; }

private:
    GenerationState state_;
    RandomSource& random_;
    Surface& picture1_;
    Surface& picture2_;
    ImageGenerator generator_;
};

} // namespace genart
