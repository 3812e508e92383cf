#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "files/image_encoding.h"
#include "limits/limits.h"
#include "session/picture_session.h"
#include "session/picture_size.h"

namespace genart {

struct LocalMoment {
    int year, month, day, hour, minute, second;
};

// `genart [--seed N] [--no-history]`
struct WindowOptions {
    std::optional<std::uint32_t> seed;
    bool history = true; // read the earlier runs' pictures and keep this run's
};

// `genart render` in its three forms:
//   --seed N --out PICTURE [--palette-out STRIP] [--actions LIST] [--time T]
//   --recipe FILE --out PICTURE [--palette-out STRIP]
//   --seed N --count K --out-dir DIR [--keep-palette] [--palettes] [--time T]
// each with [--scale S | --size WxH] [--no-caption] [--quality Q] [--png-level L] [--force]
// [--quiet]; the first two also as animations, --animate [--frames N] [--fps F].
struct RenderOptions {
    std::optional<std::uint32_t> seed;
    std::optional<std::string> recipe; // redraw the picture a PNG or text recipe describes
    std::string out;
    std::optional<std::string> paletteOut;
    std::vector<Action> actions;
    std::optional<LocalMoment> time;
    int scale = 1; // poster size: scale * 600 by scale * 450
    std::optional<PictureSize> size; // --size: any width and height, covered by the picture
    bool caption = true;
    std::optional<int> quality;  // JPEG and WebP, within kQualities
    std::optional<int> pngLevel; // zlib's level, within kPngLevels
    bool animate = false; // colour cycling: frames of the picture with its palette turning
    int frames = kDefaultFrames;
    int fps = kDefaultFps;
    std::optional<int> count; // a batch of this many pictures into outDir
    std::string outDir;
    bool keepPalette = false; // batch pictures after the first keep the palette
    bool palettes = false;    // batch pictures get their strip written beside them
    bool force = false;
    bool quiet = false;

    // The size pictures are drawn at: --size, or else --scale.
    PictureSize pictureSize() const { return size ? *size : PictureSize::timesNormal(scale); }
    // How the files are encoded: --png-level and --quality, or each format's default.
    EncodeSettings encodeSettings() const
    {
        EncodeSettings settings;
        if (pngLevel)
            settings.png.level = *pngLevel;
        if (quality)
            settings.quality = *quality;
        return settings;
    }
};

// `genart --help` (or -h, or help) for the whole program, `genart render --help` for render alone.
struct HelpRequest {
    bool render = false;
};

// `genart --version`
struct VersionRequest {};

// A one-line explanation of what was wrong with the command line.
struct UsageError {
    std::string message;
};

using Command = std::variant<WindowOptions, RenderOptions, HelpRequest, VersionRequest, UsageError>;

// Reads the arguments after the program's name. Each value may follow its option or be joined
// to it with '=' (`--seed 42`, `--seed=42`); the first fault, in the order typed, is the one told.
Command parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();       // every form of the command line
std::string renderUsageText(); // the forms of `genart render`
std::string versionText();     // "genart <version>" and a newline

} // namespace genart
