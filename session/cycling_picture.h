#pragma once

#include <cstdint>
#include <vector>

#include "generator/generation_state.h"
#include "palette/palette_strip.h"
#include "platform/surface.h"
#include "session/picture_session.h"
#include "session/recipe.h"

namespace genart {

// A picture whose colours can flow through it. Drawn once, it keeps the palette entry of every
// pixel (two bytes each), so a frame of the cycle costs one strip and one lookup per pixel, not
// a sweep: advance the palette's three phases together and every pixel takes the colour its
// column now has. After a full turn the colours are back where they started.
class CyclingPicture {
public:
    // Draws the recipe's still picture exactly as drawRecipe does with the same arguments (the
    // picture on `picture`, its palette on `strip`; a turn the recipe keeps is left out), keeping
    // the entries. False when cancelled, and the picture cannot be cycled then.
    bool draw(const Recipe& recipe, Surface& picture, Surface& strip, double scale = 1,
              const Progress& progress = {}, const CancelToken* cancel = nullptr, bool withCaption = true);

    // Frame t of a cycle of `frames`: the picture's palette painted on `strip` with every phase
    // advanced by 2π × t / frames, each pixel of `picture` coloured from that strip at the column
    // it took in the still picture, and the caption over them. A pixel black because its column
    // lies outside the strip stays black. Frame 0 is the still picture itself; `picture` must be
    // as large as the one drawn, and pixels no position reached are left alone.
    void paintFrame(long long t, long long frames, Surface& picture, Surface& strip) const;

    bool drawn() const { return width_ > 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Scan line after scan line; kNoEntry where no position landed.
    const std::vector<std::uint16_t>& entries() const { return entries_; }

private:
    PaletteParameters palette_;
    float pozic0_ = 0;
    CaptionTexts texts_;
    double scale_ = 1;
    bool withCaption_ = true;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint16_t> entries_;
};

// Colours each pixel of `picture` that has an entry (`width` by `height` of them, scan line after
// scan line) from the strip's row 10 as the sweep does, the strip's columns counted from pozic0;
// pixels without one are left alone.
void colourByEntries(const std::vector<std::uint16_t>& entries, int width, int height, const Surface& strip,
                     float pozic0, Surface& picture);

// drawRecipe for a recipe that keeps a turn of its colours: the still picture, then its frame
// of that turn as CyclingPicture paints it, the turned palette on `strip`.
bool drawTurnedRecipe(const Recipe& recipe, Surface& picture, Surface& strip, double scale,
                      const Progress& progress, const CancelToken* cancel, bool withCaption,
                      std::vector<std::uint16_t>* entries);

} // namespace genart
