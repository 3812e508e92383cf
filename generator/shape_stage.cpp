#include <cmath>

#include "generator/evaluation.h"
#include "generator/image_generator.h"

namespace genart {

// The picture's one formula for the shape value ba, over the pixel's distance r and angle fi
// from the drifting centre, its world position x, y and the centre's angle fit.
void ImageGenerator::ShapeStage()
{
    const double r = s.position.r;
    const double fi = s.position.fi;
    const double x = s.position.x;
    const double y = s.position.y;
    const double fit = s.position.fit;
    double& ba = s.carried.ba;
    using std::cos, std::sin, std::tan, std::pow, std::sqrt, std::abs;

    switch (chosenVariant(s.picture.tip1, 15)) {
    case 1: storeIfCompleted(ba, r * r); break;
    case 2: storeIfCompleted(ba, r * fi); break;
    case 3: storeIfCompleted(ba, (r * r) * sin(r)); break;
    case 4: storeIfCompleted(ba, x * r); break;
    case 5: storeIfCompleted(ba, ((r * sin(r)) * x) * cos(y)); break;
    case 6: {
        // A power too large for a double fails the statement, though dividing by it gives 0.
        const double power = pow(r, r + sin(r));
        if (std::isfinite(power))
            storeIfCompleted(ba, ((r * r) * (2 + sin(fit * r))) / power);
        break;
    }
    case 7: storeIfCompleted(ba, (r * tan(fi)) * fi); break;
    case 8: storeIfCompleted(ba, ((r * tan(r)) * x) * sin(x)); break;
    case 9: storeIfCompleted(ba, ((r * (1 + sin(r))) + (x * (1 + sin(x)))) + (y * (1 + sin(y)))); break;
    case 10: storeIfCompleted(ba, (r * (1 + sin(r))) + (((x * (1 + sin(x))) * y) * (1 + sin(y)))); break;
    case 11: storeIfCompleted(ba, ((r + x) + y) / fi); break;
    case 12: storeIfCompleted(ba, ((r * (1 + sin(r))) * (1 + cos(fit + r))) * fi); break;
    case 13: storeIfCompleted(ba, r / fi); break;
    case 14: storeIfCompleted(ba, (sqrt(r) / fi) * pow(r, 1 + sin(x))); break;
    case 15: storeIfCompleted(ba, pow(r / abs(x), (1 + sin(r)) + cos(fi))); break;
    }
}

} // namespace genart
