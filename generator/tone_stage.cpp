#include <cmath>

#include "generator/evaluation.h"
#include "generator/image_generator.h"

namespace genart {

// Merges the three channels into the one tone barva.
void ImageGenerator::ToneStage()
{
    const double re = s.carried.re;
    const double gr = s.carried.gr;
    const double bl = s.carried.bl;
    const double r = s.position.r;
    using std::cos, std::sin, std::sqrt;

    switch (chosenVariant(s.picture.tip3, 4)) {
    case 1: storeIfCompleted(s.carried.barva, (re + gr) + bl); break;
    case 2: storeIfCompleted(s.carried.barva, (re + gr) + (bl * (1 + sin(r)))); break;
    // On the centre itself (r = 0) the quotients fail and the tone stays as it was.
    case 3: storeIfCompleted(s.carried.barva, (re / r) + (gr / sqrt(r))); break;
    case 4: storeIfCompleted(s.carried.barva, ((re * sin(s.position.fit)) + (gr * sin(r))) + (bl * cos(r))); break;
    }
}

} // namespace genart
