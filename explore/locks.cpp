#include "explore/locks.h"

#include "generator/picture_draws.h"

namespace genart::explore {

std::vector<FreshValues> drawFreshValues(RandomSource& random, int count)
{
    std::vector<FreshValues> fresh;
    for (int n = 0; n < count; ++n) {
        FreshValues values;
        values.palette = drawPaletteParameters(random); // the palette first, as the press draws
        values.picture = drawPictureParameters(random);
        fresh.push_back(values);
    }
    return fresh;
}

Recipe withLocks(const Recipe& picture, const FreshValues& fresh, const Locks& locks, const std::string& name)
{
    Recipe made = picture;
    made.imeslike = name;
    PictureParameters& p = made.picture;
    const PictureParameters& f = fresh.picture;
    if (!locks.formula) {
        p.tip1 = f.tip1;
        p.tip2 = f.tip2;
        p.tip3 = f.tip3;
    }
    if (!locks.form) {
        p.fi0 = f.fi0;
        p.r0 = f.r0;
        p.fak1 = f.fak1;
        p.fak2 = f.fak2;
        p.fak3 = f.fak3;
    }
    if (!locks.colours) {
        made.palette = fresh.palette;
        p.pozic0 = f.pozic0;
    }
    return made;
}

std::vector<Recipe> withLocks(const Recipe& picture, const std::vector<FreshValues>& fresh, const Locks& locks,
                              const std::string& name)
{
    std::vector<Recipe> made;
    for (const FreshValues& values : fresh)
        made.push_back(withLocks(picture, values, locks, name));
    return made;
}

Origin originOf(const Locks& locks)
{
    if (!locks.formula && !locks.form && !locks.colours)
        return Origin::Explore;
    if (locks.formula && locks.form && !locks.colours)
        return Origin::Recolour;
    return Origin::Variation;
}

} // namespace genart::explore
