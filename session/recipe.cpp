#include "session/recipe.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <map>
#include <optional>
#include <sstream>
#include <type_traits>

#include "platform/hex_float.h"

namespace genart {
namespace {

enum class Kind { Any, NonNegative, Single, Whole };

// One number of the recipe: its key, where it lives, and which values the draws can give it.
struct Field {
    const char* key;
    double (*get)(const Recipe&);
    void (*set)(Recipe&, double);
    Kind kind;
    double lowest;  // inclusive
    double highest; // exclusive unless highestIncluded
    bool highestIncluded;
};

constexpr double kMax = std::numeric_limits<double>::max();

#define GENART_FIELD(key, member, kind, low, high, included)                                  \
    Field                                                                                        \
    {                                                                                            \
        key, [](const Recipe& r) -> double { return r.member; },                                 \
            [](Recipe& r, double v) { r.member = static_cast<std::remove_reference_t<decltype(r.member)>>(v); }, kind, low, \
            high, included                                                                       \
    }

// In the order they are written. Scales and stretches are checked against base, spread and
// their scale once everything is read.
const Field kFields[] = {
    GENART_FIELD("palette.base", palette.base, Kind::Whole, 10, 19, true),
    GENART_FIELD("palette.spread", palette.spread, Kind::Whole, 10, 19, true),
    GENART_FIELD("palette.scale1", palette.scale[0], Kind::Whole, 10, 38, true),
    GENART_FIELD("palette.scale2", palette.scale[1], Kind::Whole, 10, 38, true),
    GENART_FIELD("palette.scale3", palette.scale[2], Kind::Whole, 10, 38, true),
    GENART_FIELD("palette.phase1", palette.phase[0], Kind::Any, 0, 6.28, false),
    GENART_FIELD("palette.phase2", palette.phase[1], Kind::Any, 0, 6.28, false),
    GENART_FIELD("palette.phase3", palette.phase[2], Kind::Any, 0, 6.28, false),
    GENART_FIELD("palette.stretch1", palette.stretch[0], Kind::Single, 10, 76, true),
    GENART_FIELD("palette.stretch2", palette.stretch[1], Kind::Single, 10, 76, true),
    GENART_FIELD("palette.stretch3", palette.stretch[2], Kind::Single, 10, 76, true),
    GENART_FIELD("picture.tip1", picture.tip1, Kind::Whole, 1, 15, true),
    GENART_FIELD("picture.tip2", picture.tip2, Kind::Whole, 1, 3, true),
    GENART_FIELD("picture.tip3", picture.tip3, Kind::Whole, 1, 4, true),
    GENART_FIELD("picture.pozic0", picture.pozic0, Kind::Whole, 5, 304, true),
    GENART_FIELD("picture.fi0", picture.fi0, Kind::Any, 0, 6.283, false),
    GENART_FIELD("picture.r0", picture.r0, Kind::Single, 1, 4, false),
    GENART_FIELD("picture.fak1", picture.fak1, Kind::Single, 10, 20, true),
    GENART_FIELD("picture.fak2", picture.fak2, Kind::Single, 10, 20, true),
    GENART_FIELD("picture.fak3", picture.fak3, Kind::Single, 10, 20, true),
    GENART_FIELD("carried.ba", carried.ba, Kind::Any, -kMax, kMax, true),
    GENART_FIELD("carried.re", carried.re, Kind::NonNegative, 0, kMax, true),
    GENART_FIELD("carried.gr", carried.gr, Kind::NonNegative, 0, kMax, true),
    GENART_FIELD("carried.bl", carried.bl, Kind::NonNegative, 0, kMax, true),
    GENART_FIELD("carried.barva", carried.barva, Kind::Any, -kMax, kMax, true),
};

#undef GENART_FIELD

constexpr std::size_t kLongestEntry = 256;
constexpr std::size_t kLongestText = 16 * 1024;

bool allowed(const Field& field, double value)
{
    if (field.kind == Kind::Whole && value != std::floor(value))
        return false;
    if ((field.kind == Kind::Single || field.kind == Kind::Whole)
        && static_cast<double>(static_cast<float>(value)) != value)
        return false;
    if (value < field.lowest)
        return false;
    return field.highestIncluded ? value <= field.highest : value < field.highest;
}

bool validName(const std::string& name)
{
    return name.size() == 15 && name[0] == 'T'
           && name.find_first_not_of("0123456789", 1) == std::string::npos;
}

RecipeError fault(const std::string& message)
{
    return RecipeError{message};
}

// The colours' turn of a picture saved while they cycled, STEP/STEPS in plain decimal digits: the
// two whole numbers its frame was painted from, 0 < STEP < STEPS. A still picture has none.
constexpr const char* kTurnKey = "cycle.phase";
constexpr std::int64_t kMostTurnSteps = 1'000'000'000;

std::string turnText(const PaletteTurn& turn)
{
    return std::to_string(turn.step) + "/" + std::to_string(turn.steps);
}

std::optional<std::int64_t> decimal(const std::string& text)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos
        || (text.size() > 1 && text.front() == '0'))
        return std::nullopt;
    return std::stoll(text);
}

// Takes the turn out of the values read, if there is one.
std::optional<RecipeError> takeTurn(std::map<std::string, std::string>& values, Recipe& recipe)
{
    const auto found = values.find(kTurnKey);
    if (found == values.end())
        return std::nullopt;
    const std::string& text = found->second;
    const std::size_t slash = text.find('/');
    const auto step = decimal(text.substr(0, slash));
    const auto steps = slash == std::string::npos ? std::nullopt : decimal(text.substr(slash + 1));
    if (!step || !steps || *steps > kMostTurnSteps || *step == 0 || *step >= *steps)
        return fault(std::string("recipe key ") + kTurnKey + " must be STEP/STEPS, whole numbers with 0 < STEP < STEPS <= "
                     + std::to_string(kMostTurnSteps));
    recipe.cycle = {*step, *steps};
    values.erase(found);
    return std::nullopt;
}

std::optional<RecipeError> crossCheck(const Recipe& recipe)
{
    const PaletteParameters& p = recipe.palette;
    for (int n = 0; n < 3; ++n) {
        const std::string number = std::to_string(n + 1);
        // Rounding near the top of the random range can lift a scale to base + spread.
        if (p.scale[n] < p.base || p.scale[n] > p.base + p.spread)
            return fault("palette.scale" + number + " lies outside palette.base .. palette.base + palette.spread");
        if (p.stretch[n] < p.scale[n] || p.stretch[n] > 2 * p.scale[n])
            return fault("palette.stretch" + number + " lies outside palette.scale" + number + " .. twice that");
    }
    return std::nullopt;
}

} // namespace

Recipe recipeOf(const GenerationState& s, const PaletteParameters& palette)
{
    return Recipe{s.texts.imeslike, palette, s.picture, s.carried, {}};
}

void applyRecipe(const Recipe& recipe, GenerationState& s)
{
    s.texts.imeslike = recipe.imeslike;
    s.picture = recipe.picture;
    s.drift = startingDrift();
    s.carried = recipe.carried;
}

std::string recipeText(const Recipe& recipe)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << kRecipeKey << '=' << kRecipeVersion << '\n';
    text << "imeslike=" << recipe.imeslike << '\n';
    for (const Field& field : kFields)
        text << field.key << '=' << hexFloatText(field.get(recipe)) << '\n';
    if (recipe.cycle.turned())
        text << kTurnKey << '=' << turnText(recipe.cycle) << '\n';
    return text.str();
}

std::variant<Recipe, RecipeError> parseRecipe(const std::string& text)
{
    if (text.size() > kLongestText)
        return fault("recipe is too long to be one");
    // Entries are written one per line; any white space separates them, as PNG readers
    // may fold a text's line breaks into spaces.
    std::map<std::string, std::string> values;
    std::istringstream entries(text);
    entries.imbue(std::locale::classic());
    std::string entry;
    bool first = true;
    while (entries >> entry) {
        if (entry.size() > kLongestEntry)
            return fault("recipe has an entry longer than " + std::to_string(kLongestEntry) + " characters");
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos)
            return fault(first ? "not a genart recipe" : "recipe entry without '=': " + entry.substr(0, 40));
        const std::string key = entry.substr(0, equals);
        if (first && key != kRecipeKey)
            return fault("not a genart recipe (it does not start with " + std::string(kRecipeKey) + "=)");
        first = false;
        if (!values.emplace(key, entry.substr(equals + 1)).second)
            return fault("recipe key " + key + " appears twice");
    }
    if (first)
        return fault("not a genart recipe (it is empty)");
    if (values[kRecipeKey] != std::to_string(kRecipeVersion))
        return fault("recipe version " + values[kRecipeKey].substr(0, 20) + " is not supported (only "
                     + std::to_string(kRecipeVersion) + ")");
    values.erase(kRecipeKey);

    Recipe recipe;
    const auto name = values.find("imeslike");
    if (name == values.end())
        return fault("recipe key imeslike is missing");
    if (!validName(name->second))
        return fault("recipe key imeslike must be T followed by 14 digits");
    recipe.imeslike = name->second;
    values.erase(name);

    for (const Field& field : kFields) {
        const auto found = values.find(field.key);
        if (found == values.end())
            return fault(std::string("recipe key ") + field.key + " is missing");
        const std::optional<double> value = parseHexFloat(found->second);
        if (!value)
            return fault(std::string("recipe key ") + field.key + " is not a finite number");
        if (!allowed(field, *value))
            return fault(std::string("recipe key ") + field.key + " holds a value its draw cannot produce");
        field.set(recipe, *value);
        values.erase(found);
    }
    if (const auto error = takeTurn(values, recipe))
        return *error;
    if (!values.empty())
        return fault("recipe key " + values.begin()->first.substr(0, 40) + " is unknown");
    if (const auto error = crossCheck(recipe))
        return *error;
    return recipe;
}

} // namespace genart
