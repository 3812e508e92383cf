#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "file_formats/file_format.h"
#include "limits/limits.h"
#include "palette/palette_turn.h"
#include "platform/progress.h"
#include "session/picture_size.h"
#include "session/recipe.h"

namespace genart {

class OutputFiles;

// The frames of one turn of the colours in the window's time, at `fps` a second: a loop that
// matches what the window shows.
constexpr int framesOfOneTurn(int fps)
{
    return static_cast<int>(static_cast<long long>(fps) * kTurnMilliseconds / 1000);
}

// A loop's quality left to its format (MP4's default rate factor, WebP lossless).
inline constexpr int kFormatsOwnQuality = -1;

// What a looping animation of a picture is made of: its colours go once round the palette in
// `frames` frames shown `fps` a second, at the picture's size, with or without the caption.
struct AnimationRequest {
    int frames = framesOfOneTurn(kDefaultFps);
    int fps = kDefaultFps;
    PictureSize size;
    bool caption = true;
    // MP4: x264's constant rate factor; WebP: 100 lossless, lower lossy at that quality; GIF: none.
    int quality = kFormatsOwnQuality;

    double seconds() const { return static_cast<double>(frames) / fps; }
};

// Why a loop of `request` cannot be a file of `format`, or "": a side beyond what the format
// holds, or more frames a second than a GIF shows.
std::string loopProblem(FileFormat format, const AnimationRequest& request);

// A loop whose file grew past its budget: the bytes it had after `frames` frames, and after the
// first (which, whole, takes more than the frames after it).
struct OverBudget {
    std::size_t bytes;
    int frames;
    std::size_t firstBytes;

    // What the whole loop of `total` frames would have taken.
    double projected(int total) const
    {
        if (frames < 2)
            return static_cast<double>(bytes) * total;
        return static_cast<double>(firstBytes)
            + static_cast<double>(bytes - firstBytes) * (total - 1) / (frames - 1);
    }
};
struct Cancelled {};
// A loop encoded whole: the bytes its file came to.
struct Encoded {
    std::size_t bytes;
};
// The loop's size, why it could not be encoded, or why it stopped.
using EncodedLoop = std::variant<Encoded, std::string, OverBudget, Cancelled>;

// Draws the recipe's still picture, then streams its frames one by one to the encoder of
// `format` (WebP: animated, looping forever, the recipe in its XMP metadata; GIF: see
// GifAnimation, the recipe in a comment; MP4: H.264 video), which writes the file into `fd` as
// it goes: one frame is held, never the loop. With a `budget` (bytes, 0 for none), stops as
// soon as the file holds more than that.
EncodedLoop encodeLoop(const Recipe& recipe, const AnimationRequest& request, FileFormat format, int fd,
                       std::size_t budget = 0, const Progress& progress = {},
                       const CancelToken* cancel = nullptr);

// encodeLoop into a file staged in `files` for `path` (see OutputFiles), which stays staged only
// when the loop is encoded whole within the budget; an existing file that `files` will not
// replace is refused before anything is drawn. A failure is one printable line naming the path.
EncodedLoop stageLoop(OutputFiles& files, const std::string& path, const Recipe& recipe,
                      const AnimationRequest& request, FileFormat format, std::size_t budget = 0,
                      const Progress& progress = {}, const CancelToken* cancel = nullptr);

// Puts what `files` staged in place, whole or not at all. Nothing when `cancel` was set before
// the file was in place; otherwise "" or one printable line naming the path and why not.
std::optional<std::string> placeLoop(OutputFiles& files, const CancelToken* cancel = nullptr);


} // namespace genart
