#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <QImage>

#include "animation_files/animation_file.h"
#include "file_formats/file_format.h"
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
// (with its caption or not, as `captioned` says), the strip as painted. A job that asks for
// exactly that size and caption takes it as it is instead of drawing it again.
struct EntrySource {
    HistoryEntry entry;
    QImage picture;
    QImage strip;
    bool captioned = true;
};

using PictureSource = std::variant<SessionSource, RecipeSource, EntrySource>;

// A loop of the picture's colours going once round its palette, by default in the window's
// time. With a budget, the format (when the path names none), the size and the quality are
// chosen so that the file takes at most that many bytes; the frames and their rate are kept.
struct Loop {
    int frames = framesOfOneTurn(kDefaultFps);
    int fps = kDefaultFps;
    int quality = kFormatsOwnQuality; // MP4's rate factor, WebP's quality
    std::size_t budget = 0;           // bytes; 0 for none
};

// One picture file to make: what to draw, how large, still or as a loop, and where it goes.
// The path's extension names the format. A still job may write the strip beside it too.
struct PictureJob {
    PictureSource source;
    PictureSize size;
    bool caption = true;
    std::optional<Loop> loop;
    std::string path;
    // The picture's format when the path's extension does not name it (a name a file manager
    // gives a thumbnail); otherwise the extension's.
    std::optional<FileFormat> format;
    std::optional<std::string> stripPath;
    // Whether an existing file is replaced (a symbolic link is replaced itself, never its target).
    bool replace = false;
    EncodeSettings encoding; // --png-level and --quality; their progress and cancel are the job's
};

// What became of a job.
struct JobOutcome {
    bool cancelled = false;
    std::string failure; // one printable line naming the path and the reason; "" when written
    std::string path = {};   // the file written: the job's, or a loop fitted to a budget's
    std::string chosen = {}; // for a loop fitted to a budget, what was chosen, in one line
    QImage picture = {};     // a still, as drawn, for a caller that shows it too

    bool written() const { return !cancelled && failure.empty(); }
};

} // namespace genart
