#pragma once

#include <cstdint>
#include <string>

#include "animation_files/animation_encoder.h"

namespace genart {

// An animated WebP written frame by frame as it is encoded: each frame an image of its own
// through libwebp (lossless, or lossy below kLossless), placed in the file's RIFF container at
// once, so that what is held is one frame and its encoding whatever the number of frames. The
// file loops forever, each frame shown 1/fps of a second (in whole milliseconds, so that the
// loop as a whole keeps its length); a frame the same as the one before lengthens that one
// instead of adding another; the recipe follows the frames as XMP metadata.
class WebpAnimation final : public AnimationEncoder {
public:
    // Writes into `fd` from its start; `frames` is how many will come, so that a loop too
    // large for any WebP is refused after its first frame rather than at its end. `quality`:
    // kLossless, every pixel exact; below, lossy at that quality.
    WebpAnimation(int width, int height, int fps, int frames, int fd, std::string recipe, int quality = kLossless);

    std::string add(const QImage& frame) override;
    std::string finish() override;

    // The largest file a WebP can be: its RIFF header counts what follows it in 32 bits, and
    // libwebp reads no chunk within 10 bytes of that.
    static constexpr std::uint64_t kLargestFile = 8 + 0xfffffff6u;
    static constexpr int kLossless = 100;

private:
    std::string start();
    // The frame's image as a "VP8L" (lossless) or "VP8 " (lossy) chunk, or why not.
    std::string encoded(const QImage& frame, std::string& chunk) const;
    std::string append(const std::string& bytes);
    // Writes the frame kept back, now that the next one's start ends it.
    std::string writePending(int ends);
    int timestamp(int frame) const;

    int width_;
    int height_;
    int fps_;
    int frames_;
    int fd_;
    std::string recipe_;
    int quality_;
    std::uint64_t end_ = 0;  // bytes written so far
    int added_ = 0;          // frames given so far
    std::string pending_;    // the last frame's image chunk, written once its duration is known
    int pendingStarts_ = 0;  // its timestamp
    std::string failure_;    // the first failure; every later call repeats it
};

} // namespace genart
