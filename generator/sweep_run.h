#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "generator/generation_state.h"
#include "generator/palette_row.h"
#include "generator/position_kernel.h"

namespace genart {

// Where the fast sweep puts its colours: straight into a surface's scan lines, or into a
// buffer of colour values that is handed to the surface point by point afterwards.
// A raster may show only a part of the sweep: sweep column `left` and row `top` land on its
// first pixel, and whatever falls outside it is left out.
struct Raster {
    std::uint32_t* first = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
    bool asPixels = true; // 0xffRRGGBB; otherwise the colour value itself
    int left = 0;
    int top = 0;
    // Where each pixel's palette entry (its index into PaletteRow) goes as well, laid out like
    // the pixels, `entriesStride` apart; nowhere when null.
    std::uint16_t* entries = nullptr;
    std::ptrdiff_t entriesStride = 0;
};

// One picture's sweep: its positions, where each lies in the world and how the centre drifts.
class Sweep {
public:
    // The picture drawn `scale` times its normal size.
    Sweep(const GenerationState& s, const Surface& palette, double scale);

    int lastColumn() const { return lastColumn_; }
    int lastRow() const { return lastRow_; }
    int rows() const { return lastRow_ + 1; }
    bool accumulatesDrift() const { return scale_ == 1.0; }
    double korakfi1() const { return korakfi1_; }

    double xOf(int column) const { return (static_cast<std::int16_t>(column) / columnsPerUnit_) - polx_; }
    double yOf(int row) const { return poly_ - (static_cast<std::int16_t>(row) / rowsPerUnit_); }
    // A finer sweep keeps the drift of the normal one: the normal sweep's position (i, j)
    // sits at (scale * i, scale * j) and sees the same angle.
    double driftAt(int column, int row) const { return driftAtCount((rowsBefore_ * column) + row); }
    // The same from that normal position's count of positions before it, rowsBefore * i + j:
    // all the drift depends on.
    double driftAtCount(double count) const { return (korakfi1_ * (count + scale_)) / scale_; }

    // Sweeps from the top of column `first` on, at most `limit` positions and no further than
    // column `last`. `fi1` is the drift before the first position (read only when the drift
    // accumulates). When `carriesKnown` is false the carries are placeholders: the run returns
    // how many leading positions depend on them, up to the first that writes all five (their
    // pixels and, if that is all of them, the carries after the run must be made again from
    // the real carries). Leaves in `carries` what the last position left.
    std::int64_t run(const Raster& raster, int first, int last, std::int64_t limit, double fi1,
                     kernel::Carries& carries, bool carriesKnown) const;

    // What the state keeps of one position's frame: fit, r and fi.
    struct Frame {
        double fit, r, fi;
    };
    Frame frameAt(int column, int row, double fi1) const;

private:
    struct DriftFrames;
    // The frames' angles, their sines and cosines for every count a run of columns meets, when
    // that takes fewer sines than computing them position by position; nothing otherwise.
    std::unique_ptr<DriftFrames> driftFramesFor(int first, int last) const;

    // Copies the first `positions` values of a run from the top of column `first`, held
    // column after column, to scan lines `stride` apart that show the raster's part of the sweep.
    template <typename Value>
    void toRaster(const Raster& raster, Value* lines, std::ptrdiff_t stride, const Value* tile, int first,
                  std::int64_t positions) const;

    double scale_;
    int lastColumn_;
    int lastRow_;
    double columnsPerUnit_;
    double rowsPerUnit_;
    double polx_;
    double poly_;
    double korakfi1_;
    double rowsBefore_; // positions per column of the normal sweep
    kernel::PictureConstants constants_;
    PaletteRow palette_;
    std::vector<double> rowY_; // each row's y, sin(y) and cos(y)
    std::vector<double> rowSinY_;
    std::vector<double> rowCosY_;
};

} // namespace genart
