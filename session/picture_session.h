#pragma once

#include <cstdint>
#include <vector>

#include "generator/generation_state.h"
#include "generator/image_generator.h"
#include "palette/palette_strip.h"
#include "platform/clock.h"
#include "platform/progress.h"
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
    // Start-up and then `actions`, every picture drawn as they draw it but the last: that one
    // is taken only as far as its recipe, for whoever draws it once, at another size. The
    // session then stands as it would after the actions, except that Picture1 and the state
    // are the sweep's before that picture; recipe() and palette() are the actions' own.
    void replayToLastRecipe(std::uint32_t seed, const std::vector<Action>& actions);

    // Picture1 is `scale` times the normal size, and every picture is drawn that finely on it,
    // for a screen with more device pixels than pixels: each once, at that scale. The session
    // goes on exactly as at the normal size, so its pictures and recipes stay the same. The
    // surface must already be that large; 1 until told.
    void setPictureScale(int scale) { pictureScale_ = scale; }
    int pictureScale() const { return pictureScale_; }

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
    // The parameters and the recipe of a new picture, then, if asked, its sweep and caption.
    void newImage(bool sweep);

    GenerationState state_;
    RandomSource& random_;
    Surface& picture1_;
    Surface& picture2_;
    ImageGenerator generator_;
    PaletteParameters palette_;
    Recipe recipe_;
    int pictureScale_ = 1;
};

// Draws a recipe's palette on `strip` and its picture, `scale` times the normal size, on
// `picture`, with its caption unless told otherwise. A picture surface smaller than
// coveringSize() of the scale gets the middle of the picture, with the caption on its own
// bottom rows. Given `entries`, it also keeps each pixel's palette entry there (see
// FastRenderOptions::entries). A recipe that keeps a turn of its colours is drawn as the frame
// of that turn, bit for bit as colour cycling showed it, its turned palette on `strip`. Tells
// `progress` how far the sweep got; returns false, with the picture unfinished, when `cancel`
// was set before the sweep was done.
bool drawRecipe(const Recipe& recipe, Surface& picture, Surface& strip, double scale = 1,
                const Progress& progress = {}, const CancelToken* cancel = nullptr,
                bool withCaption = true, std::vector<std::uint16_t>* entries = nullptr);

// The caption a recipe's picture carries: its name, the web address and the credit line.
CaptionTexts captionOf(const Recipe& recipe);

// The same, `scale` times as finely on a picture that large, on a state the caller holds:
// afterwards it is the state the normal sweep leaves, as after the press that drew the picture,
// and the strip its still palette (the picture alone shows a turn the recipe keeps).
void drawRecipe(const Recipe& recipe, GenerationState& state, Surface& picture, Surface& strip, int scale = 1);

} // namespace genart
