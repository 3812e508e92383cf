#include "command_line/explore_command.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <ostream>

#include <QDir>

#include "command_line/batch_render.h"
#include "command_line/terminal_progress.h"
#include "explore/recolourings.h"
#include "explore/variations.h"
#include "picture_files/still_job.h"
#include "terminal_text/printable.h"
#include "command_line/library_command.h"
#include "command_line/share_commands.h"
#include "files/recipe_file.h"
#include "generator/image_generator.h"
#include "platform/qt/image_surface.h"
#include "session/session_on.h"

namespace genart {
namespace {

bool given(const std::vector<std::string>& options, const char* option)
{
    return std::find(options.begin(), options.end(), option) != options.end();
}

// A generator's seed made from the recipe's text (FNV-1a), the same wherever it is run.
std::uint32_t seedOf(const Recipe& recipe)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : recipeText(recipe)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

// The picture to explore from, and the generator left where its drawing left it.
std::optional<Recipe> startingPicture(const RenderOptions& options, const Clock& clock, RandomSource& random,
                                      std::ostream& errors)
{
    if (options.fromRecipe() || options.entry) {
        const auto read = options.entry ? recipeOfEntry(*options.entry) : givenRecipe(options);
        if (const auto* error = std::get_if<RecipeError>(&read)) {
            errors << "genart: render: " << error->message << '\n';
            return std::nullopt;
        }
        random.seed(seedOf(std::get<Recipe>(read)));
        return std::get<Recipe>(read);
    }
    SessionOn<ImageSurface> drawn(random, clock);
    return drawn.play(*options.seed, options.actions).session.recipe();
}

std::vector<Recipe> candidatesOf(const Recipe& picture, const RenderOptions& options, const Clock& clock,
                                 RandomSource& random)
{
    const std::string name = pictureNameNow(clock);
    if (options.recolourings)
        return explore::recolourings(picture, random, *options.recolourings, name);
    const auto steps = explore::drawVariationSteps(random, *options.variations);
    return explore::variations(picture, steps, options.strength.value_or(kDefaultStrength), name);
}

// Takes back every picture written, the newest first, and the folders made for them; the
// first thing that could not be taken back, if any.
std::string takeBack(const std::vector<std::string>& written, const std::string& token,
                     const std::vector<std::filesystem::path>& madeFolders)
{
    std::string left;
    for (auto path = written.rbegin(); path != written.rend(); ++path)
        if (std::string failure = takeBackFile(*path, token); left.empty())
            left = std::move(failure);
    if (left.empty())
        removeFolders(madeFolders);
    return left;
}

// Writes each picture whole as soon as it is drawn; "" or the first failure.
std::string writeEach(const std::vector<Recipe>& pictures, const RenderOptions& options, const std::string& token,
                      std::vector<std::string>& written, TerminalProgress& progress)
{
    const QDir folder(QString::fromStdString(options.outDir));
    const int digits = BatchPictures::digitsFor(static_cast<int>(pictures.size()));
    for (std::size_t n = 0; n < pictures.size(); ++n) {
        const Recipe& recipe = pictures[n];
        const std::string file = BatchPictures::fileName(recipe.imeslike, static_cast<int>(n) + 1, digits, ".png");
        PictureJob job;
        job.source = RecipeSource{recipe};
        job.size = options.pictureSize();
        job.caption = options.caption;
        job.path = folder.filePath(QString::fromStdString(file)).toStdString();
        job.encoding = options.encodeSettings();
        const std::string& path = job.path;
        OutputFiles files(options.force, token);
        std::string failure = stageEncoded(files, *encodeStill(job, *drawStill(job)));
        if (failure.empty())
            failure = files.place();
        if (!failure.empty())
            return failure;
        files.release(); // kept, with any backup, until the whole set is written
        written.push_back(path);
        progress.update(static_cast<double>(n + 1) / static_cast<double>(pictures.size()), "drawing",
                        std::to_string(n + 1) + "/" + std::to_string(pictures.size()));
    }
    return {};
}

} // namespace

std::optional<double> parseStrength(const std::string& text)
{
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789.") != std::string::npos
        || std::count(text.begin(), text.end(), '.') > 1 || text == ".")
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || !(value >= 0 && value <= 1))
        return std::nullopt;
    return value;
}

std::optional<std::string> exploreProblem(const RenderOptions& o, const std::vector<std::string>& options)
{
    if (o.variations && o.recolourings)
        return "--variations and --recolourings cannot be combined: write each on its own";
    if (given(options, "--strength") && !o.variations)
        return "--strength needs --variations";
    const std::string kind = o.variations ? "--variations" : "--recolourings";
    for (const char* option : {"--count", "--out", "--palette-out", "--animate", "--keep-palette", "--palettes"})
        if (given(options, option))
            return kind + " cannot be combined with " + option;
    if (o.outDir.empty())
        return kind + " needs --out-dir";
    if (given(options, "--quality"))
        return "--quality applies to .jpg, .jpeg and .webp pictures; " + kind + " writes .png";
    return std::nullopt;
}

int runExplore(const RenderOptions& options, const Clock& clock, std::ostream& errors)
{
    TwisterRandom random;
    const std::optional<Recipe> picture = startingPicture(options, clock, random, errors);
    if (!picture)
        return 2;
    const std::vector<Recipe> pictures = candidatesOf(*picture, options, clock, random);

    std::vector<std::filesystem::path> madeFolders;
    if (const std::string failure = makeFolder(options.outDir, madeFolders); !failure.empty()) {
        errors << "genart: render: " << failure << '\n';
        return 1;
    }
    TerminalProgress progress(!options.quiet);
    const std::string token = newRunToken();
    std::vector<std::string> written;
    if (const std::string failure = writeEach(pictures, options, token, written, progress); !failure.empty()) {
        const std::string left = takeBack(written, token, madeFolders);
        progress.finish();
        errors << "genart: render: " << failure;
        if (!left.empty())
            errors << "; " << left;
        else if (!written.empty())
            errors << " (removed this run's pictures" << (options.force ? " and put back the files they replaced)" : ")");
        errors << '\n';
        return 1;
    }
    for (const std::string& path : written)
        if (const std::string failure = options.force ? dropBackup(path, token) : std::string(); !failure.empty()) {
            errors << "genart: render: " << failure << '\n';
            return 1;
        }
    progress.finish();
    if (!options.quiet)
        errors << "genart: wrote " << pictures.size() << (options.variations ? " variation" : " recolouring")
               << (pictures.size() == 1 ? "" : "s")
               << " in " << formatSeconds(progress.elapsed()) << " to " << printable(options.outDir) << '\n';
    return 0;
}

} // namespace genart
