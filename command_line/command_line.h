#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "animation_files/animation_file.h"
#include "command_line/library_options.h"
#include "command_line/desktop_options.h"
#include "files/image_encoding.h"
#include "limits/limits.h"
#include "session/picture_session.h"
#include "session/picture_size.h"

namespace genart {

struct LocalMoment {
    int year, month, day, hour, minute, second;
};

// `genart [--seed N] [--no-history] [FILE | CODE]`
struct WindowOptions {
    std::optional<std::uint32_t> seed;
    bool history = true; // read the earlier runs' pictures and keep this run's
    std::optional<std::string> open; // a picture, recipe file or share code to show once started
};

// `genart code (FILE | CODE)`: print the share code of a picture.
struct CodeRequest {
    std::string source;                // a file or a code
    std::optional<std::int64_t> entry; // or, with --entry, an entry of the library
};

// `genart thumbnail --size N INPUT OUTPUT`: what file managers show for genart's files.
struct ThumbnailRequest {
    int size = 0; // the longer side, in pixels
    std::string input;
    std::string output;
};

// `genart render` in its three forms:
//   --seed N --out PICTURE [--palette-out STRIP] [--actions LIST] [--time T]
//   --recipe FILE --out PICTURE [--palette-out STRIP]
//   --seed N --count K --out-dir DIR [--keep-palette] [--palettes] [--time T]
// each with [--scale S | --size WxH] [--no-caption] [--quality Q] [--png-level L] [--force]
// [--quiet]; the first two also as animations, --animate [--frames N] [--fps F], fitted to a byte
// budget with --share[=BYTES] or --budget BYTES.
struct RenderOptions {
    std::optional<std::uint32_t> seed;
    std::optional<std::string> recipe; // redraw the picture a PNG or text recipe describes
    std::optional<std::string> code;   // or the one a share code describes
    std::optional<std::int64_t> entry; // redraw an entry of the library
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
    std::optional<int> frames; // none: one turn in the window's time (framesOfOneTurn)
    int fps = kDefaultFps;
    // --share or --budget: the loop fitted in this many bytes, its format (unless --out names
    // one), size and quality chosen for it.
    std::optional<std::size_t> budget;
    std::optional<int> count; // a batch of this many pictures into outDir
    std::string outDir;
    bool keepPalette = false; // batch pictures after the first keep the palette
    bool palettes = false;    // batch pictures get their strip written beside them
    // Instead of a batch: this many variations or recolourings of the picture into outDir, the
    // variations as far as `strength` (0 subtle .. 1 wild) says.
    std::optional<int> variations;
    std::optional<int> recolourings;
    std::optional<double> strength;
    bool force = false;
    bool quiet = false;

    // Whether the picture comes from a recipe (--recipe or --code) rather than a session.
    bool fromRecipe() const { return recipe || code; }
    // The loop --animate asks for: --frames, or one turn in the window's time at --fps.
    AnimationRequest loop() const
    {
        return {frames.value_or(framesOfOneTurn(fps)), fps, pictureSize(), caption, kFormatsOwnQuality};
    }
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
    bool wallpaper = false; // `genart wallpaper --help`
};

// `genart --version`
struct VersionRequest {};

// A one-line explanation of what was wrong with the command line.
struct UsageError {
    std::string message;
};

using Command = std::variant<WindowOptions, RenderOptions, CodeRequest, ThumbnailRequest, LibraryRequest, HelpRequest,
                             VersionRequest, UsageError, WallpaperOptions, SlideshowOptions>;

// Reads the arguments after the program's name. Each value may follow its option or be joined
// to it with '=' (`--seed 42`, `--seed=42`); the first fault, in the order typed, is the one told.
Command parseCommandLine(const std::vector<std::string>& arguments);

// Reads one value of `genart render`'s options (--size, --scale, --quality, …) into `options`;
// why it is not accepted, if it is not. For the commands that take the same options.
std::optional<std::string> takeRenderValue(RenderOptions& options, const std::string& option, const std::string& value);

std::string usageText();       // every form of the command line
std::string renderUsageText(); // the forms of `genart render`
std::string versionText();     // "genart <version>" and a newline

} // namespace genart
