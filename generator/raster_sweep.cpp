#include <cmath>

#include "generator/image_generator.h"

namespace genart {

void ImageGenerator::RenderImage()
{
    RenderPoster(1);
}

void ImageGenerator::RenderPoster(double scale)
{
    // Both bounds are included: column sir and row vis are computed like the rest
    // (they advance the drift) although they fall just outside the picture.
    const int lastColumn = coveringSize(s.geometry.sir, scale);
    const int lastRow = coveringSize(s.geometry.vis, scale);
    const double columnsPerUnit = s.geometry.dx * scale;
    const double rowsPerUnit = s.geometry.dy * scale;
    for (int column = 0; column <= lastColumn; ++column) {
        for (int row = 0; row <= lastRow; ++row) {
            s.position.i = static_cast<std::int16_t>(column);
            s.position.j = static_cast<std::int16_t>(row);
            s.position.x = (s.position.i / columnsPerUnit) - s.geometry.polx;
            s.position.y = s.geometry.poly - (s.position.j / rowsPerUnit);
            if (scale == 1) {
                PolarFrame();
            } else {
                // The finer sweep keeps the drift of the normal one: the position (i, j)
                // of the normal sweep sits at (scale * i, scale * j) and sees the same angle.
                const double steps = (s.geometry.vis + 1.0) * column + row + scale;
                s.drift.fi1 = (s.drift.korakfi1 * steps) / scale;
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
    s.drift.fi1 = s.drift.fi1 + s.drift.korakfi1;
    MeasureFromCentre();
}

void ImageGenerator::MeasureFromCentre()
{
    s.position.fit = s.picture.fi0 + s.drift.fi1;
    const double xc = s.picture.r0 * std::cos(s.position.fit);
    const double yc = s.picture.r0 * std::sin(s.position.fit);
    const double xd = xc - s.position.x;
    const double yd = yc - s.position.y;
    s.position.r = std::sqrt((xd * xd) + (yd * yd));
    // A pixel straight above or below the centre has an infinite slope and lies at +-pi/2;
    // the centre itself has no direction at all and gets 0.
    s.position.fi = (xd == 0 && yd == 0) ? 0.0 : std::atan(yd / xd);
}

} // namespace genart
