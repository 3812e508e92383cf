#include "desktop/wallpaper_source.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "library/library.h"
#include "library/library_location.h"

namespace genart {
namespace {

// The picture library as the wallpaper and the slideshow use it: opened when first asked, made
// only to keep a picture.
class LibrarySource final : public WallpaperSource {
public:
    std::string unavailable() const override
    {
        // A library not made yet is an empty one.
        std::error_code ignored;
        if (!std::filesystem::exists(defaultLibraryPath(), ignored))
            return {};
        auto opened = Library::openForCommand(false);
        if (const auto* error = std::get_if<LibraryError>(&opened))
            return "the picture library cannot be read: " + error->message;
        return {};
    }

    std::variant<Recipe, std::string> randomFavourite(RandomSource& random) override
    {
        const std::vector<Recipe> all = favourites();
        if (all.empty())
            return std::string("the picture library has no favourites yet (mark one with F in the window, or "
                               "genart library favourite ID)");
        const auto pick = static_cast<std::size_t>(std::floor(random.next() * static_cast<float>(all.size())));
        return all[std::min(pick, all.size() - 1)];
    }

    std::vector<Recipe> favourites() override
    {
        std::vector<Recipe> found;
        if (Library* library = open(false))
            library->forEach(EntryFilter{.favouritesOnly = true, .formula = std::nullopt}, [&](const LibraryEntry& entry) {
                found.push_back(entry.shown.picture);
            });
        return found;
    }

    std::variant<Recipe, std::string> entry(std::int64_t id) override
    {
        Library* library = open(false);
        if (!library)
            return problem_;
        auto read = library->entry(id);
        if (const auto* error = std::get_if<LibraryError>(&read))
            return error->message;
        return std::get<LibraryEntry>(read).shown.picture;
    }

    std::optional<std::int64_t> keep(const Recipe& recipe, const std::string& origin) override
    {
        Library* library = open(true);
        if (!library)
            return std::nullopt;
        NewEntry kept;
        kept.shown = {recipe, recipe.palette};
        kept.origin = origin;
        auto added = library->add(kept);
        if (std::holds_alternative<LibraryError>(added))
            return std::nullopt;
        library->waitUntilDurable();
        return std::get<std::int64_t>(added);
    }

private:
    // The library, opened once; made when `create` and missing. Null, with problem_ set, when
    // it cannot be.
    Library* open(bool create)
    {
        if (!library_ || (create && !created_)) {
            auto opened = Library::openForCommand(create);
            if (auto* error = std::get_if<LibraryError>(&opened)) {
                problem_ = error->message;
                return library_.get();
            }
            library_ = std::move(std::get<std::unique_ptr<Library>>(opened));
            created_ = create;
        }
        return library_.get();
    }

    std::unique_ptr<Library> library_;
    bool created_ = false;
    std::string problem_;
};

} // namespace

std::unique_ptr<WallpaperSource> openWallpaperSource()
{
    return std::make_unique<LibrarySource>();
}

} // namespace genart
