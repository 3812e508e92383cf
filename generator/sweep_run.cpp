#include "generator/sweep_run.h"

namespace genart {

using namespace kernel;

Sweep::Sweep(const GenerationState& s, const Surface& palette, int scale)
    : scale_(scale), lastColumn_(s.sir * scale), lastRow_(s.vis * scale),
      columnsPerUnit_(s.dx * scale), rowsPerUnit_(s.dy * scale), polx_(s.polx), poly_(s.poly),
      korakfi1_(s.korakfi1), rowsBefore_(s.vis + 1.0), constants_(s), palette_(palette, s.pozic0)
{
    rowTable_.reserve(static_cast<std::size_t>(rows() > 0 ? rows() : 0));
    for (int row = 0; row <= lastRow_; ++row)
        rowTable_.push_back(rowValues(yOf(row)));
}

std::int64_t Sweep::run(const Raster& raster, int first, int last, std::int64_t limit, double fi1,
                        Carries& carries, bool carriesKnown) const
{
    const PictureConstants& k = constants_;
    unsigned settled = carriesKnown ? kAllCarries : 0u;
    std::int64_t done = 0;
    std::int64_t dependent = 0;
    for (int column = first; column <= last && done < limit; ++column) {
        const ColumnValues c = columnValues(xOf(column));
        for (int row = 0; row <= lastRow_ && done < limit; ++row) {
            fi1 = accumulatesDrift() ? fi1 + korakfi1_ : driftAt(column, row);
            const Frame f = measure(k, c.x, rowTable_[static_cast<std::size_t>(row)].y, fi1, k.needsFi);
            const unsigned stored = runStages(k, f, c, rowTable_[static_cast<std::size_t>(row)], carries);
            raster.put(column, row, plot(carries.barva, palette_));
            ++done;
            if (settled != kAllCarries) {
                settled = settledAfter(settled, stored, k);
                if (settled == kAllCarries)
                    dependent = done;
            }
        }
    }
    return settled == kAllCarries ? dependent : done;
}

Frame Sweep::frameAt(int column, int row, double fi1) const
{
    return measure(constants_, xOf(column), yOf(row), fi1, true);
}

} // namespace genart
