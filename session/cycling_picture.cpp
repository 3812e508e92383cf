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
    if (!drawRecipe(recipe, picture, strip, scale, progress, cancel, withCaption, &entries_))
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
    const PaletteRow row(strip, pozic0_);
    const PixelRows rows = picture.pixelRows();
    const std::uint32_t* const lookUp = rows.first ? row.pixels() : row.colours();
    for (int y = 0; y < height_; ++y) {
        const std::uint16_t* const entries = entries_.data() + static_cast<std::ptrdiff_t>(y) * width_;
        std::uint32_t* const line = rows.first ? rows.first + y * rows.stride : nullptr;
        for (int x = 0; x < width_; ++x) {
            const std::uint16_t entry = entries[x];
            if (entry == kNoEntry)
                continue;
            if (line)
                line[x] = lookUp[entry];
            else
                picture.PSet(static_cast<float>(x), static_cast<float>(y), static_cast<Colour>(lookUp[entry]));
        }
    }
    if (withCaption_)
        PrintCaption(texts_, picture, scale_);
}

} // namespace genart
