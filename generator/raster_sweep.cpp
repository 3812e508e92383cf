#include <cmath>

#include "generator/image_generator.h"

namespace genart {

void ImageGenerator::RenderImage()
{
    RenderPoster(1);
}

void ImageGenerator::RenderPoster(int scale)
{
    // Both bounds are included: column sir and row vis are computed like the rest
    // (they advance the drift) although they fall just outside the picture.
    const int lastColumn = s.sir * scale;
    const int lastRow = s.vis * scale;
    const double columnsPerUnit = s.dx * scale;
    const double rowsPerUnit = s.dy * scale;
    for (int column = 0; column <= lastColumn; ++column) {
        for (int row = 0; row <= lastRow; ++row) {
            s.i = static_cast<std::int16_t>(column);
            s.j = static_cast<std::int16_t>(row);
            s.x = (s.i / columnsPerUnit) - s.polx;
            s.y = s.poly - (s.j / rowsPerUnit);
            if (scale == 1) {
                PolarFrame();
            } else {
                // The finer sweep keeps the drift of the normal one: the position (i, j)
                // of the normal sweep sits at (scale * i, scale * j) and sees the same angle.
                const double steps = (s.vis + 1.0) * column + row + scale;
                s.fi1 = (s.korakfi1 * steps) / scale;
                MeasureFromCentre();
            }
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
    MeasureFromCentre();
}

void ImageGenerator::MeasureFromCentre()
{
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
