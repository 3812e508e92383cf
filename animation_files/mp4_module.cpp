// The entry point of the MP4 module (genart-mp4.so), which the program loads when it writes
// its first MP4.
#include "animation_files/mp4_module.h"

#include <new>

#include "animation_files/mp4_animation.h"

extern "C" [[gnu::visibility("default")]] genart::AnimationEncoder* genart_new_mp4_animation(int width, int height,
                                                                                            int fps, int crf, int fd)
{
    return new (std::nothrow) genart::Mp4Animation(width, height, fps, crf, fd);
}
