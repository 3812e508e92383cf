#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "desktop/wallpaper_source.h"
#include "platform/clock.h"
#include "platform/qt/image_surface.h"
#include "platform/random_source.h"
#include "session/picture_session.h"

namespace genart {

// The pictures of a slideshow, in turn: new ones, drawn as the window's "new img / new palette"
// draws them from a seed, or the library's favourites over and over. Shows on several screens
// take turns from one source, from their drawing threads.
class SlideSource {
public:
    // New pictures from `seed`.
    SlideSource(std::uint32_t seed, WallpaperSource& library);
    // The favourites, in order.
    SlideSource(std::vector<Recipe> favourites, WallpaperSource& library);

    Recipe next();
    // The picture is on a screen now: it is kept in the library.
    void shown(const Recipe& recipe);

private:
    std::mutex lock_;
    WallpaperSource& library_;
    std::vector<Recipe> favourites_;
    std::size_t nextFavourite_ = 0;
    std::uint32_t seed_ = 0;
    bool started_ = false;
    TwisterRandom random_;
    SystemClock clock_;
    ImageSurface picture_{kPictureWidth, kPictureHeight};
    ImageSurface strip_{kStripWidth, kStripHeight};
    PictureSession session_{random_, clock_, picture_, strip_};
};

} // namespace genart
