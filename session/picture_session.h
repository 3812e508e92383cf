#pragma once

#include <atomic>
#include <functional>

#include "session/recipe.h"
#include "generator/generation_state.h"
#include "generator/image_generator.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "platform/surface.h"

namespace genart {

// What each picture button of the window does: image = new img / old palette,
// palette = change palette, both = new img / new palette.
enum class Action { Image, Palette, Both };

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
    void perform(Action action);

    // Start-up's share of the drawing: caption texts, geometry, first palette, first picture.
    void startUp();

    // What it takes to draw the picture now on Picture1 again, and the palette now on Picture2.
    const Recipe& recipe() const { return recipe_; }
    const PaletteParameters& palette() const { return palette_; }

    GenerationState& state() { return state_; }
    const GenerationState& state() const { return state_; }
    ImageGenerator& generator() { return generator_; }

private:
    GenerationState state_;
    RandomSource& random_;
    Surface& picture1_;
    Surface& picture2_;
    ImageGenerator generator_;
    PaletteParameters palette_;
    Recipe recipe_;
};

// Told how many of a sweep's columns are done; called from the drawing threads.
using DrawProgress = std::function<void(int done, int total)>;

// Draws a recipe's palette on `strip` and its picture, `scale` times the normal size, on
// `picture` (which must be scale * 600 by scale * 450), with its caption. Returns false, with
// the picture unfinished, when `cancel` was set before the sweep was done.
bool drawRecipe(const Recipe& recipe, Surface& picture, Surface& strip, int scale = 1,
                const DrawProgress& progress = {}, const std::atomic<bool>* cancel = nullptr);

} // namespace genart
