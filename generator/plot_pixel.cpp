#include "generator/image_generator.h"
#include "platform/rounding.h"

namespace genart {

// Turns the tone into a palette column, reads that column's colour back from row 10 of the
// strip, darkens it and paints the pixel.
void ImageGenerator::PlotPixel()
{
    // Both clamps are kept in the state.
    if (s.carried.barva == 0)
        s.carried.barva = 1;
    if (s.carried.barva > 675)
        s.carried.barva = 675;

    Colour colour = kBlack;
    // A tone too negative for a 32-bit whole number lies far left of the strip: black,
    // like every other tone whose column falls outside it.
    if (const auto tone = toInt32(s.carried.barva)) {
        const int offset = *tone % 280; // remainder keeps the tone's sign
        const double column = s.picture.pozic0 + static_cast<float>(offset);
        // The packed value loses 100 as a whole, so a dark red borrows from green and blue.
        colour = palette_.Point(static_cast<float>(column), 10.0f) - 100;
        if (colour < 0)
            colour = kBlack;
    }
    picture_.PSet(static_cast<float>(s.position.i), static_cast<float>(s.position.j), colour);
}

} // namespace genart
