#include "command_line/wallpaper_command.h"

#include <filesystem>
#include <ostream>
#include <variant>

#include "desktop/daily_wallpaper.h"
#include "desktop/desktop_wallpaper.h"
#include "desktop/screen_areas.h"
#include "desktop/wallpaper_picture.h"
#include "desktop/wallpaper_source.h"
#include "terminal_text/printable.h"
#include "files/recipe_file.h"
#include "platform/qt/image_surface.h"
#include "session/session_on.h"
#include "session/picture_session.h"

namespace genart {
namespace {

// A picture drawn as the window draws its first one.
Recipe newPicture()
{
    SessionOn<ImageSurface> drawn(std::make_shared<SystemClock>());
    return drawn.play(seedFromTimeOfDay()).session.recipe();
}

// The picture asked for, or why it cannot be had.
std::variant<Recipe, std::string> chosenPicture(const WallpaperOptions& options, WallpaperSource& library)
{
    switch (options.source) {
    case WallpaperOptions::Source::New:
        return newPicture();
    case WallpaperOptions::Source::Favourite: {
        TwisterRandom random(seedFromTimeOfDay());
        auto favourite = library.randomFavourite(random);
        if (auto* problem = std::get_if<std::string>(&favourite))
            return "--favourite: " + *problem;
        return favourite;
    }
    case WallpaperOptions::Source::Entry: {
        auto entry = library.entry(options.entry);
        if (auto* problem = std::get_if<std::string>(&entry))
            return "--entry " + std::to_string(options.entry) + ": " + *problem;
        return entry;
    }
    case WallpaperOptions::Source::Recipe:
        break;
    }
    auto read = readRecipeFile(options.recipe);
    if (auto* error = std::get_if<RecipeError>(&read))
        return error->message;
    return std::get<Recipe>(read);
}

int switchDaily(const WallpaperOptions& options, std::ostream& out, std::ostream& errors)
{
    const bool on = *options.daily;
    const bool favourite = options.source == WallpaperOptions::Source::Favourite;
    if (on && favourite) {
        if (const std::string problem = openWallpaperSource()->unavailable(); !problem.empty()) {
            errors << "genart: wallpaper: --favourite: " << problem << '\n';
            return 2;
        }
    }
    std::error_code error;
    const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (const std::string problem = switchDailyWallpaper(on, favourite, program, userUnitFolder());
        !problem.empty()) {
        errors << "genart: wallpaper: --daily: " << printable(problem) << '\n';
        return 1;
    }
    out << "genart: a new wallpaper every day: " << (on ? "on" : "off") << " (" << kDailyTimer << ")\n";
    return 0;
}

} // namespace

int runWallpaper(const WallpaperOptions& options, std::ostream& out, std::ostream& errors)
{
    if (options.daily)
        return switchDaily(options, out, errors);
    const auto library = openWallpaperSource();
    const auto picture = chosenPicture(options, *library);
    if (const auto* problem = std::get_if<std::string>(&picture)) {
        errors << "genart: wallpaper: " << printable(*problem) << '\n';
        return 2;
    }
    const Recipe& recipe = std::get<Recipe>(picture);
    const std::vector<ScreenArea> screens = screenAreas();
    const auto largest = largestScreen(screens);
    if (!options.size && !largest) {
        errors << "genart: wallpaper: no screen to take the size from (no display); give --size WxH\n";
        return 2;
    }
    const int width = options.size ? options.size->width : largest->width;
    const int height = options.size ? options.size->height : largest->height;
    const WallpaperResult result = makeWallpaper(recipe, width, height, options.place, screens);
    if (!result.path.empty())
        library->keep(recipe, "wallpaper");
    if (!result.set()) {
        errors << "genart: wallpaper: " << wallpaperReport(result) << '\n';
        return 1;
    }
    out << "genart: wallpaper: " << wallpaperReport(result) << '\n';
    return 0;
}

} // namespace genart
