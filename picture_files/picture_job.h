#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <QImage>

#include "files/image_encoding.h"
#include "limits/limits.h"
#include "platform/clock.h"
#include "session/picture_history.h"
#include "session/picture_session.h"
#include "session/picture_size.h"

namespace genart {

// Where a job's picture comes from.

// Start-up for `seed`, then the presses of the buttons, named by `clock` (the system's when
// none): the picture shown after the last of them, and the strip as it then stands.
struct SessionSource {
    std::uint32_t seed = 0;
    std::vector<Action> actions;
    std::shared_ptr<const Clock> clock;
};

// A picture drawn again from its recipe; the strip is its own palette.
struct RecipeSource {
    Recipe recipe;
};

// A picture and the strip beside it as the window keeps them (after "change palette" the strip
// is not the picture's own). Either image, when given, is what was already drawn: the picture
// with its caption at a whole multiple of the normal size, the strip as painted. A job that
// asks for exactly that takes it as it is instead of drawing it again.
struct EntrySource {
    HistoryEntry entry;
    QImage picture;
    QImage strip;
};

using PictureSource = std::variant<SessionSource, RecipeSource, EntrySource>;

// A loop of the picture's colours going once round its palette.
struct Loop {
    int frames = kDefaultFrames;
    int fps = kDefaultFps;
};

// One picture file to make: what to draw, how large, still or as a loop, and where it goes.
// The path's extension names the format. A still job may write the strip beside it too.
struct PictureJob {
    PictureSource source;
    PictureSize size;
    bool caption = true;
    std::optional<Loop> loop;
    std::string path;
    std::optional<std::string> stripPath;
    // Whether an existing file is replaced (a symbolic link is replaced itself, never its target).
    bool replace = false;
    EncodeSettings encoding; // --png-level and --quality; their progress and cancel are the job's
};

// What became of a job.
struct JobOutcome {
    bool cancelled = false;
    std::string failure; // one printable line naming the path and the reason; "" when written

    bool written() const { return !cancelled && failure.empty(); }
};

} // namespace genart
