#include "explore/mixes.h"

#include "explore/movable_values.h"

namespace genart::explore {
namespace {

// The form of `form` blended a share `towards` of the way to the other parent's, with the
// colours of `colours`.
Recipe child(const Recipe& form, const Recipe& colours, double towards, const std::string& name)
{
    Recipe made = form;
    made.imeslike = name;
    made.palette = colours.palette;
    made.picture.pozic0 = colours.picture.pozic0;
    for (const Movable movable : kEveryMovable) {
        if (movable == Movable::Pozic0)
            continue;
        const double own = randomValueOf(form.picture, movable);
        const double other = randomValueOf(colours.picture, movable);
        setFromRandomValue(made.picture, movable, own + towards * (other - own));
    }
    return made;
}

} // namespace

std::vector<Recipe> mixes(const Recipe& first, const Recipe& second, int count, const std::string& name)
{
    const int firstHalf = (count + 1) / 2;
    std::vector<Recipe> children;
    for (int n = 0; n < count; ++n) {
        const bool firstsForm = n < firstHalf;
        const int place = firstsForm ? n : n - firstHalf;
        const int places = firstsForm ? firstHalf : count - firstHalf;
        const double towards = places > 1 ? 0.5 * place / (places - 1) : 0.0;
        children.push_back(firstsForm ? child(first, second, towards, name) : child(second, first, towards, name));
    }
    return children;
}

} // namespace genart::explore
