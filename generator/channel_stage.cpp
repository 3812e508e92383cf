#include <cmath>

#include "generator/evaluation.h"
#include "generator/image_generator.h"

namespace genart {

// Spreads the shape value over three non-negative channels, each |ba| times a factor of
// 9..21; every statement stands alone, so one overflowing channel keeps its old value
// while the others are still written.
void ImageGenerator::ChannelStage()
{
    const double ba = s.carried.ba;
    const double r = s.position.r;
    const double fit = s.position.fit;
    using std::abs, std::cos, std::sin;

    switch (chosenVariant(s.picture.tip2, 3)) {
    case 1:
        storeIfCompleted(s.carried.re, abs(ba * s.picture.fak1));
        storeIfCompleted(s.carried.gr, abs(ba * s.picture.fak2));
        storeIfCompleted(s.carried.bl, abs(ba * s.picture.fak3));
        break;
    case 2:
        storeIfCompleted(s.carried.re, abs(ba * (10 + sin(r))));
        storeIfCompleted(s.carried.gr, abs(ba * (10 + cos(r))));
        storeIfCompleted(s.carried.bl, abs(ba * (10 + sin(fit))));
        break;
    case 3:
        storeIfCompleted(s.carried.re, abs(ba * (s.picture.fak1 + sin(r))));
        storeIfCompleted(s.carried.gr, abs(ba * (s.picture.fak2 + cos(r))));
        storeIfCompleted(s.carried.bl, abs(ba * (s.picture.fak3 + sin(fit))));
        break;
    }
}

} // namespace genart
