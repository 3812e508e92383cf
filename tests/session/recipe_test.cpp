#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <variant>

#include "session/picture_history.h"
#include "session/recipe.h"
#include "support/seeded_session.h"
#include "support/test_locales.h"

namespace genart {
namespace {

using testing::MemorySurface;
using testing::differences;

// A started session with its first palette and picture.
struct Studio : testing::SeededSession {
    explicit Studio(std::uint32_t seedOfSession) : SeededSession(seedOfSession, FixedClock(2026, 3, 4, 5, 6, 7)) { startUp(); }
};

// A recipe's picture, drawn afresh.
MemorySurface drawn(const Recipe& recipe)
{
    MemorySurface picture(kPictureWidth, kPictureHeight);
    MemorySurface strip(kStripWidth, kStripHeight);
    drawRecipe(recipe, picture, strip);
    return picture;
}

Recipe parsed(const std::string& text)
{
    auto result = parseRecipe(text);
    if (const auto* error = std::get_if<RecipeError>(&result))
        ADD_FAILURE() << error->message;
    return std::holds_alternative<Recipe>(result) ? std::get<Recipe>(result) : Recipe{};
}

std::string replaced(std::string text, const std::string& key, const std::string& value)
{
    const std::size_t at = text.find("\n" + key + "=");
    if (at == std::string::npos) {
        ADD_FAILURE() << "no key " << key;
        return text;
    }
    const std::size_t end = text.find('\n', at + 1);
    // An empty value drops the entry altogether.
    return value.empty() ? text.erase(at, end - at) : text.replace(at + 1, end - at - 1, key + "=" + value);
}

TEST(Recipe, TextRoundTripKeepsEveryBit)
{
    Studio studio(11);
    Recipe recipe = studio.session.recipe();
    // Carried values of every kind the skip rule may leave behind.
    recipe.carried.ba = -0x1.fffffffffffffp+1023;
    recipe.carried.re = 0x0.0000000000001p-1022; // the smallest subnormal
    recipe.carried.gr = 0;
    recipe.carried.bl = 1e300;
    recipe.carried.barva = 675;
    const std::string text = recipeText(recipe);
    EXPECT_EQ(parsed(text), recipe);
    // Folded onto one line, as some PNG readers hand text back, it still reads.
    std::string folded = text;
    std::replace(folded.begin(), folded.end(), '\n', ' ');
    EXPECT_EQ(parsed(folded), recipe);
}

// The text genart wrote under a locale with a decimal comma: every hexadecimal value's point
// a comma, the keys as they are.
std::string withCommas(std::string text)
{
    for (std::size_t at = text.find("=0x"); at != std::string::npos; at = text.find("=0x", at + 1))
        if (const std::size_t point = text.find('.', at); point < text.find('\n', at))
            text[point] = ',';
    for (std::size_t at = text.find("=-0x"); at != std::string::npos; at = text.find("=-0x", at + 1))
        if (const std::size_t point = text.find('.', at); point < text.find('\n', at))
            text[point] = ',';
    return text;
}

TEST(Recipe, TravelsBetweenLocales)
{
    Studio studio(16);
    studio.session.NewPalette();
    Recipe recipe = studio.session.recipe();
    recipe.carried.ba = -0x1.8p-1074 * 2;
    const std::string text = recipeText(recipe);
    const std::string history = historyText({{recipe, studio.session.palette()}});
    const std::string commas = withCommas(text);
    ASSERT_NE(commas, text);
    if (!testing::ensureCommaLocales())
        GTEST_SKIP() << "de_DE.UTF-8 and tr_TR.UTF-8 cannot be made here (no locale sources or localedef)";
    for (const char* name : testing::kCommaLocales) {
        const testing::ThreadLocale locale(name);
        ASSERT_TRUE(locale.active());
        char printed[32];
        std::snprintf(printed, sizeof printed, "%a", 10.0);
        ASSERT_STREQ(printed, "0x1,4p+3") << "printf under " << name << " writes no comma";
        EXPECT_EQ(recipeText(recipe), text) << name;
        EXPECT_EQ(historyText({{recipe, studio.session.palette()}}), history) << name;
        EXPECT_EQ(parsed(text), recipe) << name;
        EXPECT_EQ(parsed(commas), recipe) << name;
        const auto entries = parseHistory(withCommas(history));
        ASSERT_TRUE(std::holds_alternative<std::vector<HistoryEntry>>(entries)) << name;
        EXPECT_EQ(std::get<std::vector<HistoryEntry>>(entries).front().strip, studio.session.palette()) << name;
    }
    // And back under the C locale, where the comma form was never written but is read all the same.
    EXPECT_EQ(parsed(commas), recipe);
}

TEST(Recipe, RecordsThePaletteAndTheValuesCarriedIntoTheSweep)
{
    Studio studio(12);
    const Recipe& recipe = studio.session.recipe();
    EXPECT_EQ(recipe.palette, studio.session.palette());
    EXPECT_EQ(recipe.imeslike, "T20260304050607");
    // Right after a new palette, the channels still hold its last column's components.
    studio.session.NewPalette();
    const GenerationState before = studio.session.state();
    studio.session.NewImage();
    EXPECT_EQ(studio.session.recipe().carried, before.carried);
}

TEST(Recipe, RedrawsTheSamePixelsAfterAnySequenceOfCommands)
{
    for (const std::uint32_t seed : {1u, 77u, 4000000000u}) {
        Studio studio(seed);
        studio.session.NewImage();
        studio.session.NewPalette();
        studio.session.NewPalette();
        studio.session.NewImage();
        // The strip has moved on since; the recipe still holds the picture's own palette.
        studio.session.NewPalette();
        const MemorySurface picture = drawn(studio.session.recipe());
        EXPECT_EQ(differences(studio.picture, picture), "") << "seed " << seed;
        EXPECT_EQ(picture.printed, studio.picture.lastPrinted(3)) << "seed " << seed;
    }
}

TEST(Recipe, CarriedValuesReachPixelsWhoseStatementsFail)
{
    // Formula 13 divides by fi, which is 0 where the pixel is level with the centre. A hand-set
    // recipe puts the centre straight above the origin at height 4.5 when the sweep starts, so
    // the very first position fails and shows the value carried in from before the picture.
    Studio studio(14);
    Recipe recipe = studio.session.recipe();
    recipe.picture.tip1 = 13;
    recipe.picture.tip2 = 1;
    recipe.picture.tip3 = 1;
    recipe.picture.r0 = 4.5f;
    recipe.picture.fi0 = std::acos(0.0) - kDriftStep; // sin of the first angle rounds to exactly 1
    const auto withCarriedBa = [&](double carriedBa) {
        recipe.carried.ba = carriedBa;
        return drawn(recipe);
    };
    const MemorySurface a = withCarriedBa(0.5);
    const MemorySurface b = withCarriedBa(100.5);
    EXPECT_NE(a.Point(0, 0), b.Point(0, 0));
    // From the second position on the shape value is computed again.
    EXPECT_EQ(differences(a, b, testing::Area{0, 1, kPictureWidth, 400}), "");
}

TEST(Recipe, RefusesTextsItCannotTrust)
{
    Studio studio(15);
    const std::string good = recipeText(studio.session.recipe());
    struct Case {
        std::string text;
        std::string named; // what the one-line message must name
    };
    const Case cases[] = {
        {"", "empty"},
        {"\x89PNG garbage", "not a genart recipe"},
        {"hello=world\n", "not a genart recipe"},
        {"genart-recipe=2\n" + good.substr(good.find('\n') + 1), "version"},
        {replaced(good, "picture.tip1", ""), "picture.tip1"},
        {replaced(good, "picture.tip1", "0x1p+4"), "picture.tip1"},   // 16
        {replaced(good, "picture.tip1", "1.5"), "picture.tip1"},
        {replaced(good, "picture.tip2", "abc"), "picture.tip2"},
        {replaced(good, "picture.pozic0", "305"), "picture.pozic0"},
        {replaced(good, "picture.r0", "4"), "picture.r0"},
        {replaced(good, "picture.r0", "1.1"), "picture.r0"},           // not a single
        {replaced(good, "picture.fak1", "20.5"), "picture.fak1"},
        {replaced(good, "picture.fi0", "nan"), "picture.fi0"},
        {replaced(good, "picture.fi0", "6.283"), "picture.fi0"},
        {replaced(good, "palette.phase1", "inf"), "palette.phase1"},
        {replaced(good, "palette.phase1", "1e999"), "palette.phase1"},
        {replaced(good, "palette.base", "9"), "palette.base"},
        {replaced(good, "palette.scale1", "60"), "palette.scale1"},
        {replaced(good, "palette.stretch2", "0x1.3p+7"), "palette.stretch2"},
        {replaced(good, "carried.re", "-1"), "carried.re"},
        {replaced(good, "carried.barva", "0x1p+"), "carried.barva"},
        {replaced(good, "imeslike", "T2026"), "imeslike"},
        {good + "picture.tip1=0x1p+0\n", "picture.tip1"},               // twice
        {good + "picture.tip9=0x1p+0\n", "picture.tip9"},               // unknown
        {good + "x=" + std::string(300, '1') + "\n", "longer"},
    };
    for (const Case& c : cases) {
        const auto result = parseRecipe(c.text);
        ASSERT_TRUE(std::holds_alternative<RecipeError>(result)) << c.text;
        const std::string& message = std::get<RecipeError>(result).message;
        EXPECT_NE(message.find(c.named), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
}

// A recipe written before colour cycling could be saved, as genart wrote it.
const char* const kStillRecipe = "genart-recipe=1\nimeslike=T20261208120000\npalette.base=0x1.cp+3\n"
                                 "palette.spread=0x1.3p+4\npalette.scale1=0x1.bp+4\npalette.scale2=0x1.fp+4\n"
                                 "palette.scale3=0x1.cp+3\npalette.phase1=0x1.9bf753c28f5c3p-1\n"
                                 "palette.phase2=0x1.e60dcf70a3d71p+0\npalette.phase3=0x1.9188cb428f5c3p+2\n"
                                 "palette.stretch1=0x1.ef6606p+4\npalette.stretch2=0x1.328cdp+5\n"
                                 "palette.stretch3=0x1.e95e2p+3\npicture.tip1=0x1.8p+2\npicture.tip2=0x1p+0\n"
                                 "picture.tip3=0x1p+1\npicture.pozic0=0x1.bp+6\npicture.fi0=0x1.0d5019f6f9db2p+2\n"
                                 "picture.r0=0x1.185bd4p+1\npicture.fak1=0x1.35afaep+4\npicture.fak2=0x1.ec6bdcp+3\n"
                                 "picture.fak3=0x1.2768e6p+4\ncarried.ba=0x0p+0\ncarried.re=0x1.f2b7ebedf366dp+7\n"
                                 "carried.gr=0x1.7209081987388p+2\ncarried.bl=0x1.f7f2587952f9ap+7\n"
                                 "carried.barva=0x0p+0\n";

TEST(Recipe, ATurnOfTheColoursIsWrittenOnlyWhenThereIsOne)
{
    // An earlier recipe reads as a still picture and is written back byte for byte.
    const Recipe still = parsed(kStillRecipe);
    EXPECT_FALSE(still.cycle.turned());
    EXPECT_EQ(recipeText(still), kStillRecipe);

    Recipe turned = still;
    turned.cycle = {2345, 10000};
    const std::string text = recipeText(turned);
    EXPECT_EQ(text, kStillRecipe + std::string("cycle.phase=2345/10000\n"));
    EXPECT_EQ(parsed(text), turned);
    // The two numbers are kept as written, not reduced: the frame was painted from them.
    turned.cycle = {2, 4};
    EXPECT_EQ(parsed(recipeText(turned)).cycle, (PaletteTurn{2, 4}));

    for (const char* bad : {"0/10", "10/10", "11/10", "3/0", "-1/5", "1/5/6", "01/5", "1/", "/5", "1.5/4", "1/2000000000",
                            "0x1/4"}) {
        const auto result = parseRecipe(kStillRecipe + std::string("cycle.phase=") + bad + "\n");
        ASSERT_TRUE(std::holds_alternative<RecipeError>(result)) << bad;
        EXPECT_NE(std::get<RecipeError>(result).message.find("cycle.phase"), std::string::npos) << bad;
    }
}

} // namespace
} // namespace genart
