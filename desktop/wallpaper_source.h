#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/random_source.h"
#include "session/recipe.h"

namespace genart {

// What the wallpaper and the slideshow ask of the picture library: its favourites and its
// entries, and keeping every picture they show, so the one liked can be found again.
class WallpaperSource {
public:
    virtual ~WallpaperSource() = default;
    // Why the library cannot be asked, or "" when it can.
    virtual std::string unavailable() const = 0;
    // One of the favourites, chosen at random; or why none (there are no favourites).
    virtual std::variant<Recipe, std::string> randomFavourite(RandomSource& random) = 0;
    // Every favourite, in the library's order.
    virtual std::vector<Recipe> favourites() = 0;
    // The entry `id`, or why not (there is none).
    virtual std::variant<Recipe, std::string> entry(std::int64_t id) = 0;
    // Keeps the picture as the newest entry, made by `origin` ("wallpaper", "slideshow"); its
    // id, or nothing when it was not kept.
    virtual std::optional<std::int64_t> keep(const Recipe& recipe, const std::string& origin) = 0;
};

// The library of this build. Until genart has one, its answers say that it is not there and it
// keeps nothing: the pictures' files still carry their recipes.
std::unique_ptr<WallpaperSource> openWallpaperSource();

} // namespace genart
