#pragma once

#include <functional>
#include <optional>
#include <string>

#include "picture_files/run_picture_job.h"

namespace genart::testing {

// A loop of `request` written at `path` through the one picture-file runner, as every caller
// writes loops. Nothing when cancelled; otherwise "" or the runner's one-line failure.
// `framesDone` hears each frame encoded, for a test that cancels part way.
inline std::optional<std::string> writeLoop(const Recipe& recipe, const AnimationRequest& request,
                                            const std::string& path, bool replace,
                                            const std::function<void(int framesDone)>& framesDone = {},
                                            const CancelToken* cancel = nullptr)
{
    PictureJob job;
    job.source = RecipeSource{recipe};
    job.size = request.size;
    job.caption = request.caption;
    job.loop = Loop{request.frames, request.fps, request.quality, 0};
    job.path = path;
    job.replace = replace;
    Progress progress;
    if (framesDone)
        progress = [&](Stage stage, double done) {
            if (stage == Stage::Encoding)
                framesDone(static_cast<int>(done * request.frames + 0.5));
        };
    const JobOutcome outcome = runPictureJob(job, progress, cancel);
    if (outcome.cancelled)
        return std::nullopt;
    return outcome.failure;
}

} // namespace genart::testing
