#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>

#include "animation_files/animation_file.h"

namespace genart {

// What most chat services take: the budget of `--share` and of the dialog's "fit for sharing".
inline constexpr std::size_t kShareBudget = 5'000'000;
// The least budget worth trying: a few frames of a thumbnail.
inline constexpr std::size_t kSmallestBudget = 10'000;

// About how many bytes a loop of `request` takes as `format`, from what genart's loops of
// detailed pictures take (bench/loop_bench.cpp); a loop of a calm picture is smaller.
std::size_t estimatedLoopBytes(FileFormat format, const AnimationRequest& request);

// A loop fitted to a budget: the format, the size and quality chosen, the bytes of its file,
// and the path it is staged for.
struct FittedLoop {
    FileFormat format;
    AnimationRequest request;
    std::size_t bytes;
    std::string path;
};
// The loop fitted, one printable line naming the path and why not, or that it was cancelled.
using LoopFitting = std::variant<FittedLoop, std::string, Cancelled>;

// The loop `asked` for (its frames and rate are kept), in at most `budget` bytes, staged in
// `files` for `out` (or, without a format given, `out` with the extension of the format
// chosen); placeLoop puts it in place. With a format given, that format; without, a GIF if
// the whole loop fits at the asked size (it plays everywhere a picture does), else an MP4
// (every chat service plays one). Within a format the quality comes down first (MP4 to a rate
// factor of 28, WebP from lossless to lossy), then the size, each step as far as the last
// try's size says it must, until it fits. Each try streams into a staged file of its own and
// stops, the file dropped, as soon as it passes the budget. "Why not" when nothing down to 64
// pixels wide fits.
LoopFitting fitLoop(const Recipe& recipe, const AnimationRequest& asked, std::optional<FileFormat> format,
                    std::size_t budget, OutputFiles& files, const std::string& out,
                    const Progress& progress = {}, const CancelToken* cancel = nullptr);

// What was chosen, in one line: "MP4, 600 × 450, 300 frames at 30 a second (10.0 s), rate
// factor 23: 1.24 MB of 5.00 MB".
std::string describeFit(const FittedLoop& fitted, std::size_t budget);

// The extension genart gives a file of `format`: "gif".
const char* extensionOf(FileFormat format);

} // namespace genart
