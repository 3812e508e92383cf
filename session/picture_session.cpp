#include "session/picture_session.h"

#include <algorithm>

#include "caption/caption_line.h"
#include "generator/fast_renderer.h"
#include "palette/palette_turn.h"
#include "session/cycling_picture.h"

namespace genart {
namespace {

// A picture drawn `scale` times as finely as the session's own, which goes on as at the normal size.
FastRenderOptions sharpOptions(int scale)
{
    FastRenderOptions options;
    options.scale = scale;
    options.leaveNormalState = true;
    return options;
}

} // namespace

void setFixedState(GenerationState& state)
{
    state.texts.tekst1 = kWebAddress;
    state.texts.tekst2 = kCreditLine;

    Geometry& g = state.geometry;
    g.sir = kPictureWidth;
    g.vis = kPictureHeight;
    const std::int16_t worldWidth = 12;
    const std::int16_t worldHeight = 9;
    // Division always yields a floating-point number: 9 / 2 is 4.5.
    g.polx = worldWidth / 2.0;
    g.poly = worldHeight / 2.0;
    g.dx = g.sir / static_cast<double>(worldWidth);
    g.dy = g.vis / static_cast<double>(worldHeight);
}

PictureSession::PictureSession(RandomSource& random, const Clock& clock, Surface& picture1, Surface& picture2)
    : random_(random), picture1_(picture1), picture2_(picture2),
      generator_(state_, random, clock, picture1, picture2)
{
}

void PictureSession::startUp(std::uint32_t seed)
{
    random_.seed(seed);
    setFixedState(state_);
    NewPalette();
    NewImage();
}

void PictureSession::perform(Action action)
{
    if (action != Action::Image)
        NewPalette();
    if (action != Action::Palette)
        NewImage();
}

void PictureSession::NewPalette()
{
    palette_ = drawPaletteParameters(random_);
    paintPalette(palette_, state_, picture2_);
}

void PictureSession::replayToLastRecipe(std::uint32_t seed, const std::vector<Action>& actions)
{
    // One past the last press that draws a picture; the beginning when start-up's is the last.
    const auto last = std::find_if(actions.rbegin(), actions.rend(), [](Action a) { return a != Action::Palette; }).base();
    random_.seed(seed);
    setFixedState(state_);
    NewPalette();
    newImage(last != actions.begin());
    for (auto action = actions.begin(); action != actions.end(); ++action) {
        if (*action != Action::Image)
            NewPalette();
        if (*action != Action::Palette)
            newImage(action + 1 != last);
    }
}

void PictureSession::NewImage()
{
    newImage(true);
}

void PictureSession::newImage(bool sweep)
{
    generator_.DrawParameters();
    recipe_ = recipeOf(state_, palette_);
    if (!sweep)
        return;
    renderFast(state_, picture2_, picture1_, sharpOptions(pictureScale_));
    PrintCaption(state_.texts, picture1_, pictureScale_);
}

void PictureSession::restore(const Recipe& picture, const PaletteParameters& strip)
{
    GenerationState state;
    drawRecipe(picture, state, picture1_, picture2_, pictureScale_);
    if (strip != picture.palette)
        paintPalette(strip, state, picture2_);
    state_ = state;
    palette_ = strip;
    recipe_ = picture;
}

namespace {

// The still picture on `picture`, drawn with `entries`, coloured as its frame of the recipe's
// turn, as CyclingPicture paints it. The strip and the state stay the still palette's: the next
// picture drawn from them is the one the still entry would give.
void colourTurned(const Recipe& recipe, const std::vector<std::uint16_t>& entries, const GenerationState& state,
                  Surface& picture, Surface& strip, int scale)
{
    paintTurnedPalette(recipe.palette, recipe.cycle.step, recipe.cycle.steps, strip);
    colourByEntries(entries, picture.width(), picture.height(), strip, recipe.picture.pozic0, picture);
    PrintCaption(state.texts, picture, scale);
    GenerationState scratch; // the still strip again, leaving the state as the sweep left it
    paintPalette(recipe.palette, scratch, strip);
}

} // namespace

bool drawRecipe(const Recipe& recipe, Surface& picture, Surface& strip, double scale, const Progress& progress,
                const CancelToken* cancel, bool withCaption, std::vector<std::uint16_t>* entries)
{
    if (recipe.cycle.turned())
        return drawTurnedRecipe(recipe, picture, strip, scale, progress, cancel, withCaption, entries);
    // A recipe draws nothing at random and reads no clock.
    GenerationState state;
    setFixedState(state);
    paintPalette(recipe.palette, state, strip);
    applyRecipe(recipe, state);
    FastRenderOptions options;
    options.scale = scale;
    options.progress = progress;
    options.cancel = cancel;
    options.entries = entries;
    if (!renderFast(state, strip, picture, options))
        return false;
    if (withCaption)
        PrintCaption(state.texts, picture, scale);
    return true;
}

CaptionTexts captionOf(const Recipe& recipe)
{
    return {recipe.imeslike, kWebAddress, kCreditLine};
}

void drawRecipe(const Recipe& recipe, GenerationState& state, Surface& picture, Surface& strip, int scale)
{
    state = GenerationState{};
    setFixedState(state);
    paintPalette(recipe.palette, state, strip);
    applyRecipe(recipe, state);
    std::vector<std::uint16_t> entries;
    FastRenderOptions options = sharpOptions(scale);
    options.entries = recipe.cycle.turned() ? &entries : nullptr;
    renderFast(state, strip, picture, options);
    PrintCaption(state.texts, picture, scale);
    if (recipe.cycle.turned())
        colourTurned(recipe, entries, state, picture, strip, scale);
}

} // namespace genart
