#include "command_line/render_job.h"

#include "command_line/share_commands.h"

namespace genart {

std::shared_ptr<const Clock> clockFor(const RenderOptions& options)
{
    if (!options.time)
        return std::make_shared<SystemClock>();
    const LocalMoment& t = *options.time;
    return std::make_shared<FixedClock>(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

std::variant<PictureJob, RecipeError> renderJob(const RenderOptions& options)
{
    PictureJob job;
    if (options.fromRecipe()) {
        auto read = givenRecipe(options);
        if (auto* error = std::get_if<RecipeError>(&read))
            return std::move(*error);
        job.source = RecipeSource{std::get<Recipe>(std::move(read))};
    } else {
        job.source = SessionSource{*options.seed, options.actions, clockFor(options)};
    }
    job.size = options.pictureSize();
    job.caption = options.caption;
    if (options.animate) {
        const AnimationRequest asked = options.loop();
        job.loop = Loop{asked.frames, asked.fps, asked.quality, options.budget.value_or(0)};
    }
    job.path = options.out;
    job.stripPath = options.paletteOut;
    job.replace = options.force;
    job.encoding = options.encodeSettings();
    return job;
}

} // namespace genart
