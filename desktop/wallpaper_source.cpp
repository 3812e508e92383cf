#include "desktop/wallpaper_source.h"

namespace genart {
namespace {

class NoLibrary final : public WallpaperSource {
public:
    std::string unavailable() const override { return "the picture library is not available in this build"; }
    std::variant<Recipe, std::string> randomFavourite(RandomSource&) override { return unavailable(); }
    std::vector<Recipe> favourites() override { return {}; }
    std::variant<Recipe, std::string> entry(std::int64_t) override { return unavailable(); }
    std::optional<std::int64_t> keep(const Recipe&, const std::string&) override { return std::nullopt; }
};

} // namespace

std::unique_ptr<WallpaperSource> openWallpaperSource()
{
    return std::make_unique<NoLibrary>();
}

} // namespace genart
