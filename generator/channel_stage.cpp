#include <cmath>

#include "generator/evaluation.h"
#include "generator/image_generator.h"

namespace genart {

// Spreads the shape value over three non-negative channels, each |ba| times a factor of
// 9..21; every statement stands alone, so one overflowing channel keeps its old value
// while the others are still written.
void ImageGenerator::ChannelStage()
{
    const double ba = s.ba;
    const double r = s.r;
    const double fit = s.fit;
    using std::abs, std::cos, std::sin;

    switch (chosenVariant(s.tip2, 3)) {
    case 1:
        storeIfCompleted(s.re, abs(ba * s.fak1));
        storeIfCompleted(s.gr, abs(ba * s.fak2));
        storeIfCompleted(s.bl, abs(ba * s.fak3));
        break;
    case 2:
        storeIfCompleted(s.re, abs(ba * (10 + sin(r))));
        storeIfCompleted(s.gr, abs(ba * (10 + cos(r))));
        storeIfCompleted(s.bl, abs(ba * (10 + sin(fit))));
        break;
    case 3:
        storeIfCompleted(s.re, abs(ba * (s.fak1 + sin(r))));
        storeIfCompleted(s.gr, abs(ba * (s.fak2 + cos(r))));
        storeIfCompleted(s.bl, abs(ba * (s.fak3 + sin(fit))));
        break;
    }
}

} // namespace genart
