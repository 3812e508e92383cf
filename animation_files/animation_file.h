#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "session/picture_size.h"
#include "session/recipe.h"

namespace genart {

inline constexpr int kDefaultFrames = 120;
inline constexpr int kDefaultFps = 30; // so the default loop lasts 4 s
inline constexpr int kLargestFps = 120;
inline constexpr int kMostLoopFrames = 100000;

// What a looping animation of a picture is made of: its colours go once round the palette in
// `frames` frames shown `fps` a second, at the picture's size, with or without the caption.
struct AnimationRequest {
    int frames = kDefaultFrames;
    int fps = kDefaultFps;
    PictureSize size;
    bool caption = true;
};

// Told after each frame how many of them are encoded; the picture's drawing comes first and is
// told as frame 0.
using AnimationProgress = std::function<void(int framesDone, int frames)>;

// Draws the recipe's picture, then streams its frames one by one to the encoder that the
// path's extension names (.webp: animated WebP, lossless, looping forever, with the recipe in
// its XMP metadata; .mp4: H.264 video), and writes the file, which appears whole or not at all.
// An existing file is replaced only with `replace` (see OutputFiles). Nothing when `cancel` was
// set before the file was in place for good (it is taken back then); otherwise "" or one
// printable line naming the path and why it was not written.
std::optional<std::string> writeAnimation(const Recipe& recipe, const AnimationRequest& request,
                                          const std::string& path, bool replace,
                                          const AnimationProgress& progress = {},
                                          const std::atomic<bool>* cancel = nullptr);

} // namespace genart
