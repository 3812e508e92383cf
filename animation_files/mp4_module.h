#pragma once

#include <memory>

#include "animation_files/animation_encoder.h"

namespace genart {

// The MP4 encoder (Mp4Animation), from the module that holds genart's use of FFmpeg, loaded at
// the first MP4: FFmpeg's libraries and theirs are a hundred, which took every start of genart
// 25 ms to load. Without the module, an encoder whose every frame fails with the reason.
// `crf`: x264's constant rate factor (Mp4Animation::kDefaultCrf for the default); the file is
// written into `fd` as it is made.
std::unique_ptr<AnimationEncoder> newMp4Animation(int width, int height, int fps, int crf, int fd);

// Where the module is looked for: $GENART_MODULE_DIR if set (the tests point it at the build
// folder), beside the program (the build folder), then the library folder it is installed in.
inline constexpr const char* kMp4ModuleName = "genart-mp4.so";

} // namespace genart

// The module's one entry point.
extern "C" genart::AnimationEncoder* genart_new_mp4_animation(int width, int height, int fps, int crf, int fd);
