#include <cmath>

#include "generator/image_generator.h"

namespace genart {

void ImageGenerator::RenderImage()
{
    // Both bounds are included: column sir and row vis are computed like the rest
    // (they advance the drift) although they fall just outside the picture.
    for (s.i = 0; s.i <= s.sir; ++s.i) {
        for (s.j = 0; s.j <= s.vis; ++s.j) {
            s.x = (s.i / s.dx) - s.polx;
            s.y = s.poly - (s.j / s.dy);
            PolarFrame();
            ShapeStage();
            ChannelStage();
            ToneStage();
            PlotPixel();
        }
    }
}

void ImageGenerator::PolarFrame()
{
    // The centre drifts one step per position, added before it is used and accumulated
    // by addition, never as a multiple of the step.
    s.fi1 = s.fi1 + s.korakfi1;
    s.fit = s.fi0 + s.fi1;
    const double xc = s.r0 * std::cos(s.fit);
    const double yc = s.r0 * std::sin(s.fit);
    const double xd = xc - s.x;
    const double yd = yc - s.y;
    s.r = std::sqrt((xd * xd) + (yd * yd));
    // A pixel straight above or below the centre has an infinite slope and lies at +-pi/2;
    // the centre itself has no direction at all and gets 0.
    s.fi = (xd == 0 && yd == 0) ? 0.0 : std::atan(yd / xd);
}

} // namespace genart
