#include "desktop/wallpaper_picture.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <QStandardPaths>

#include "picture_files/run_picture_job.h"

namespace genart {
namespace {

namespace fs = std::filesystem;

const char* const kExtension = ".jpg";

// "T20261208120000-3840x2160.jpg", or with "-2", "-3" … when that name is taken.
std::string freeName(const std::string& folder, const std::string& stem)
{
    std::error_code error;
    std::string path = (fs::path(folder) / (stem + kExtension)).string();
    for (int n = 2; fs::exists(fs::symlink_status(path, error)); ++n)
        path = (fs::path(folder) / (stem + "-" + std::to_string(n) + kExtension)).string();
    return path;
}

} // namespace

std::string wallpaperFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? std::string() : (fs::path(data.toStdString()) / "wallpapers").string();
}

std::optional<ScreenArea> largestScreen(const std::vector<ScreenArea>& screens)
{
    const auto pixels = [](const ScreenArea& s) { return static_cast<long long>(s.width) * s.height; };
    const auto fewer = [&](const ScreenArea& a, const ScreenArea& b) { return pixels(a) < pixels(b); };
    const auto largest = std::max_element(screens.begin(), screens.end(), fewer);
    return largest == screens.end() ? std::nullopt : std::optional<ScreenArea>(*largest);
}

WallpaperFile writeWallpaper(const Recipe& recipe, int width, int height, const std::string& folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return {{}, folder + ": cannot make the folder: " + error.message(), {}};
    // Whole or not at all, never over another file.
    PictureJob job;
    job.source = RecipeSource{recipe};
    job.size = PictureSize::covering(width, height);
    job.caption = false;
    job.path = freeName(folder, recipe.imeslike + "-" + std::to_string(width) + "x" + std::to_string(height));
    job.encoding.quality = kWallpaperQuality;
    JobOutcome outcome = runPictureJob(job);
    if (!outcome.written())
        return {{}, std::move(outcome.failure), {}};
    return {job.path, {}, std::move(outcome.picture)};
}

void pruneWallpapers(const std::string& folder, const std::string& shown)
{
    std::error_code error;
    std::vector<std::pair<fs::file_time_type, fs::path>> pictures;
    for (const auto& item : fs::directory_iterator(folder, error))
        if (item.is_regular_file(error) && item.path().extension() == kExtension)
            pictures.emplace_back(item.last_write_time(error), item.path());
    if (pictures.size() <= static_cast<std::size_t>(kKeptWallpapers))
        return;
    std::sort(pictures.begin(), pictures.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (auto old = pictures.begin() + kKeptWallpapers; old != pictures.end(); ++old)
        if (!fs::equivalent(old->second, shown, error))
            fs::remove(old->second, error);
}

} // namespace genart
