#include "slideshow/slide_source.h"

namespace genart {

SlideSource::SlideSource(std::uint32_t seed, WallpaperSource& library) : library_(library), seed_(seed) {}

SlideSource::SlideSource(std::vector<Recipe> favourites, WallpaperSource& library)
    : library_(library), favourites_(std::move(favourites))
{
}

Recipe SlideSource::next()
{
    const std::scoped_lock hold(lock_);
    if (!favourites_.empty())
        return favourites_[nextFavourite_++ % favourites_.size()];
    if (started_)
        session_.perform(Action::Both);
    else
        session_.startUp(seed_);
    started_ = true;
    return session_.recipe();
}

void SlideSource::shown(const Recipe& recipe)
{
    const std::scoped_lock hold(lock_);
    library_.keep(recipe, "slideshow");
}

} // namespace genart
