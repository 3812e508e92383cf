#include "session/cycling_picture.h"

#include <stdexcept>

#include "caption/caption_line.h"
#include "generator/fast_renderer.h"
#include "generator/palette_row.h"
#include "palette/palette_turn.h"

namespace genart {

bool CyclingPicture::draw(const Recipe& recipe, Surface& picture, Surface& strip, double scale,
                          const Progress& progress, const CancelToken* cancel, bool withCaption)
{
    width_ = 0;
    height_ = 0;
    Recipe still = recipe;
    still.cycle = {};
    if (!drawRecipe(still, picture, strip, scale, progress, cancel, withCaption, &entries_))
        return false;
    palette_ = recipe.palette;
    pozic0_ = recipe.picture.pozic0;
    texts_ = captionOf(recipe);
    scale_ = scale;
    withCaption_ = withCaption;
    width_ = picture.width();
    height_ = picture.height();
    return true;
}

void CyclingPicture::paintFrame(long long t, long long frames, Surface& picture, Surface& strip) const
{
    if (!drawn() || picture.width() != width_ || picture.height() != height_)
        throw std::invalid_argument("CyclingPicture::paintFrame: not the picture that was drawn");
    paintTurnedPalette(palette_, t, frames, strip);
    colourByEntries(entries_, width_, height_, strip, pozic0_, picture);
    if (withCaption_)
        PrintCaption(texts_, picture, scale_);
}

void colourByEntries(const std::vector<std::uint16_t>& entries, int width, int height, const Surface& strip,
                     float pozic0, Surface& picture)
{
    const PaletteRow row(strip, pozic0);
    const PixelRows rows = picture.pixelRows();
    const std::uint32_t* const lookUp = rows.first ? row.pixels() : row.colours();
    for (int y = 0; y < height; ++y) {
        const std::uint16_t* const line = entries.data() + static_cast<std::ptrdiff_t>(y) * width;
        std::uint32_t* const pixels = rows.first ? rows.first + static_cast<std::ptrdiff_t>(y) * rows.stride : nullptr;
        for (int x = 0; x < width; ++x) {
            const std::uint16_t entry = line[x];
            if (entry == kNoEntry)
                continue;
            if (pixels)
                pixels[x] = lookUp[entry];
            else
                picture.PSet(static_cast<float>(x), static_cast<float>(y), static_cast<Colour>(lookUp[entry]));
        }
    }
}

bool drawTurnedRecipe(const Recipe& recipe, Surface& picture, Surface& strip, double scale,
                      const Progress& progress, const CancelToken* cancel, bool withCaption,
                      std::vector<std::uint16_t>* entries)
{
    CyclingPicture cycling;
    if (!cycling.draw(recipe, picture, strip, scale, progress, cancel, withCaption))
        return false;
    cycling.paintFrame(recipe.cycle.step, recipe.cycle.steps, picture, strip);
    if (entries)
        *entries = cycling.entries();
    return true;
}

} // namespace genart
