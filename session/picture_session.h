#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "generator/generation_state.h"
#include "generator/image_generator.h"
#include "palette/palette_strip.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "platform/surface.h"
#include "session/recipe.h"

namespace genart {

// What each picture button of the window does: image = new img / old palette,
// palette = change palette, both = new img / new palette.
enum class Action { Image, Palette, Both };

// Web address and credit line printed under every picture.
inline constexpr const char* kWebAddress = "www.orvanik.example";
inline constexpr const char* kCreditLine = "Generative Art by Orvanik";

// The part of start-up that draws nothing: the caption's fixed texts, then the picture
// geometry. Every picture, the window's or a recipe's, is drawn on a state set up so.
void setFixedState(GenerationState& state);

// The drawing side of the window: the generation state with the procedures that draw the
// palette strip on Picture2 and the picture on Picture1. The window and the command line
// both drive one of these, so start-up and every command exist once.
class PictureSession {
public:
    PictureSession(RandomSource& random, const Clock& clock, Surface& picture1, Surface& picture2);

    // Start-up's share of the drawing: seeds the generator, sets the fixed state, then draws
    // the first palette and the first picture.
    void startUp(std::uint32_t seed);
    // One press of a picture button.
    void perform(Action action);

    // The two drawing procedures the buttons chain.
    void NewPalette();
    void NewImage(); // parameters, sweep, caption; the palette is not touched

    // Puts the session back where it was when `picture` was on Picture1 and `strip` on
    // Picture2: both surfaces, the recipe, the palette and the whole generation state, exactly.
    // The picture is drawn again from its recipe; a strip other than the recipe's palette is
    // then painted over, as "change palette" did. The random generator is not touched.
    void restore(const Recipe& picture, const PaletteParameters& strip);

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

// The smallest scale at which the picture covers `width` by `height` pixels.
double coveringScale(int width, int height);

// Draws a recipe's palette on `strip` and its picture, `scale` times the normal size, on
// `picture`, with its caption unless told otherwise. A picture surface smaller than
// coveringSize() of the scale gets the middle of the picture, with the caption on its own
// bottom rows. Given `entries`, it also keeps each pixel's palette entry there (see
// FastRenderOptions::entries). A recipe that keeps a turn of its colours is drawn as the frame
// of that turn, bit for bit as colour cycling showed it, its turned palette on `strip`. Returns
// false, with the picture unfinished, when `cancel` was set before the sweep was done.
bool drawRecipe(const Recipe& recipe, Surface& picture, Surface& strip, double scale = 1,
                const DrawProgress& progress = {}, const std::atomic<bool>* cancel = nullptr,
                bool withCaption = true, std::vector<std::uint16_t>* entries = nullptr);

// The caption a recipe's picture carries: its name, the web address and the credit line.
CaptionTexts captionOf(const Recipe& recipe);

// The same at the normal size, on a state the caller holds: afterwards it is the state the sweep
// left, as after the press that drew the picture, and the strip its still palette (the picture
// alone shows a turn the recipe keeps).
void drawRecipe(const Recipe& recipe, GenerationState& state, Surface& picture, Surface& strip);

} // namespace genart
