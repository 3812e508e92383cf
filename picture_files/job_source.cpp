#include "picture_files/job_source.h"

#include "platform/qt/image_surface.h"

namespace genart {
namespace {

EntrySource fromSession(const SessionSource& source)
{
    const SystemClock systemClock;
    TwisterRandom random;
    ImageSurface picture(kPictureWidth, kPictureHeight);
    ImageSurface strip(kStripWidth, kStripHeight);
    PictureSession session(random, source.clock ? *source.clock : systemClock, picture, strip);
    session.replayToLastRecipe(source.seed, source.actions);
    return {{session.recipe(), session.palette()}, QImage(), strip.image()};
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
