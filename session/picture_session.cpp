#include "session/picture_session.h"

#include "caption/caption_line.h"
#include "generator/fast_renderer.h"
#include "palette/palette_strip.h"

namespace genart {

PictureSession::PictureSession(RandomSource& random, const Clock& clock, Surface& picture1, Surface& picture2)
    : random_(random), picture1_(picture1), picture2_(picture2),
      generator_(state_, random, clock, picture1, picture2)
{
}

void PictureSession::storeCaptionTexts()
{
    state_.texts.tekst1 = kWebAddress;
    state_.texts.tekst2 = kCreditLine;
}

void PictureSession::setPictureGeometry()
{
    state_.geometry.sir = kPictureWidth;
    state_.geometry.vis = kPictureHeight;
    const std::int16_t worldWidth = 12;
    const std::int16_t worldHeight = 9;
    // Division always yields a floating-point number: 9 / 2 is 4.5.
    state_.geometry.polx = worldWidth / 2.0;
    state_.geometry.poly = worldHeight / 2.0;
    state_.geometry.dx = state_.geometry.sir / static_cast<double>(worldWidth);
    state_.geometry.dy = state_.geometry.vis / static_cast<double>(worldHeight);
}

void PictureSession::NewPalette()
{
    palette_ = drawPaletteParameters(random_);
    paintPalette(palette_, state_, picture2_);
}

void PictureSession::NewImage()
{
    generator_.DrawParameters();
    recipe_ = recipeOf(state_, palette_);
    renderFast(state_, picture2_, picture1_);
    PrintCaption(state_.texts, picture1_);
}

void PictureSession::perform(Action action)
{
    if (action != Action::Image)
        NewPalette();
    if (action != Action::Palette)
        NewImage();
}

void PictureSession::startUp()
{
    storeCaptionTexts();
    setPictureGeometry();
    NewPalette();
    NewImage();
}

bool drawRecipe(const Recipe& recipe, Surface& picture, Surface& strip, int scale, const DrawProgress& progress,
                const std::atomic<bool>* cancel)
{
    // A recipe draws nothing at random and reads no clock.
    TwisterRandom unused;
    FixedClock noon(2000, 1, 1, 12, 0, 0);
    PictureSession session(unused, noon, picture, strip);
    session.storeCaptionTexts();
    session.setPictureGeometry();
    GenerationState& state = session.state();
    paintPalette(recipe.palette, state, strip);
    applyRecipe(recipe, state);
    FastRenderOptions options;
    options.scale = scale;
    options.progress = progress;
    options.cancel = cancel;
    if (!renderFast(state, strip, picture, options))
        return false;
    PrintCaption(state.texts, picture, scale);
    return true;
}

} // namespace genart
