#pragma once

#include <cstdlib>

namespace genart {

// Calls `visit(x, y)` for every pixel of the straight line from (x, y) to (endX, endY) by
// Bresenham's rule, the end point itself left out, as the classic line operation does.
template <typename Visit>
void forEachLinePoint(int x, int y, int endX, int endY, Visit&& visit)
{
    const int stepX = x < endX ? 1 : -1;
    const int stepY = y < endY ? 1 : -1;
    const int spanX = std::abs(endX - x);
    const int spanY = -std::abs(endY - y);
    int error = spanX + spanY;
    while (x != endX || y != endY) {
        visit(x, y);
        const int twice = 2 * error;
        if (twice >= spanY) {
            error += spanY;
            x += stepX;
        }
        if (twice <= spanX) {
            error += spanX;
            y += stepY;
        }
    }
}

} // namespace genart
