#include "command_line/render_command.h"

#include <memory>
#include <ostream>

#include "command_line/batch_render.h"
#include "files/picture_export.h"
#include "session/picture_session.h"
#include "files/png_output.h"
#include "files/recipe_file.h"
#include "platform/qt/image_surface.h"

namespace genart {
namespace {

std::unique_ptr<Clock> clockFor(const RenderOptions& options)
{
    if (!options.time)
        return std::make_unique<SystemClock>();
    const LocalMoment& t = *options.time;
    return std::make_unique<FixedClock>(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

int write(const std::vector<PngOutput>& outputs, bool force, std::ostream& errors)
{
    if (const std::string failure = writePngs(outputs, force); !failure.empty()) {
        errors << "genart: render: " << failure << '\n';
        return 1;
    }
    return 0;
}

// Start-up's palette and picture, then each action as its button would do it.
int renderSession(const RenderOptions& options, std::ostream& errors)
{
    TwisterRandom random;
    const auto clock = clockFor(options);
    ImageSurface picture1(kPictureWidth, kPictureHeight);
    ImageSurface picture2(kStripWidth, kStripHeight);
    PictureSession session(random, *clock, picture1, picture2);

    session.startUp(*options.seed);
    for (const Action action : options.actions)
        session.perform(action);

    const Recipe& recipe = session.recipe();
    std::vector<PngOutput> outputs{{options.out, pictureAtScale(recipe, picture1.image(), options.scale)}};
    if (options.paletteOut) {
        // The strip as it stands; after a last "palette" action it is not the picture's own.
        const bool pictureColouredFromIt = session.palette() == recipe.palette;
        outputs.push_back({*options.paletteOut, pictureColouredFromIt ? withRecipe(picture2.image(), recipe)
                                                                      : picture2.image()});
    }
    return write(outputs, options.force, errors);
}

int renderRecipe(const RenderOptions& options, std::ostream& errors)
{
    const auto read = readRecipeFile(*options.recipe);
    if (const auto* error = std::get_if<RecipeError>(&read)) {
        errors << "genart: render: " << error->message << '\n';
        return 2;
    }
    const auto exported = exportPicture(std::get<Recipe>(read), options.scale);
    std::vector<PngOutput> outputs{{options.out, exported->picture}};
    if (options.paletteOut)
        outputs.push_back({*options.paletteOut, exported->strip});
    return write(outputs, options.force, errors);
}

} // namespace

int runRender(const RenderOptions& options, std::ostream& errors)
{
    if (options.recipe)
        return renderRecipe(options, errors);
    if (options.count)
        return runBatch(options, *clockFor(options), errors);
    return renderSession(options, errors);
}

} // namespace genart
