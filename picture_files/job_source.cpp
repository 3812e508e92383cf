#include "picture_files/job_source.h"

#include "platform/qt/image_surface.h"
#include "session/session_on.h"

namespace genart {
namespace {

EntrySource fromSession(const SessionSource& source)
{
    SessionOn<ImageSurface> drawn(source.clock ? source.clock : std::make_shared<SystemClock>());
    drawn.session.replayToLastRecipe(source.seed, source.actions);
    return {{drawn.session.recipe(), drawn.session.palette()}, QImage(), drawn.strip.image()};
}

struct Resolve {
    EntrySource operator()(const SessionSource& source) const { return fromSession(source); }
    EntrySource operator()(const RecipeSource& source) const { return {{source.recipe, source.recipe.palette}, {}, {}}; }
    EntrySource operator()(const EntrySource& source) const { return source; }
};

} // namespace

EntrySource resolveSource(const PictureSource& source)
{
    return std::visit(Resolve{}, source);
}

} // namespace genart
