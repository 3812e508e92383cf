#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <variant>

#include <glib.h>
#include <zlib.h>

#include "share_codes/share_code.h"
#include "support/seeded_session.h"

namespace genart {
namespace {

const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string refusal(const std::string& code)
{
    const auto read = parseShareCode(code);
    return std::holds_alternative<RecipeError>(read) ? std::get<RecipeError>(read).message : "";
}

void expectRoundTrip(const Recipe& recipe)
{
    const std::string code = shareCode(recipe);
    EXPECT_LE(code.size(), kLongestShareCode);
    ASSERT_TRUE(code.starts_with("genart:")) << code;
    EXPECT_EQ(code.find_first_not_of(kAlphabet, 7), std::string::npos) << code;
    const auto read = parseShareCode(code);
    ASSERT_TRUE(std::holds_alternative<Recipe>(read)) << refusal(code) << "\n" << recipeText(recipe);
    // The texts differ where the bits do, -0 and 0 included.
    EXPECT_EQ(recipeText(std::get<Recipe>(read)), recipeText(recipe));
}

TEST(ShareCode, RoundTripsEveryFormulaChannelAndToneAndTheEndsOfEveryRange)
{
    std::set<float> seen[3];
    testing::SeededSession studio(2026);
    studio.startUp();
    for (int press = 0; press < 400 && seen[0].size() + seen[1].size() + seen[2].size() < 15 + 3 + 4; ++press) {
        const PictureParameters& picture = studio.session.recipe().picture;
        seen[0].insert(picture.tip1), seen[1].insert(picture.tip2), seen[2].insert(picture.tip3);
        expectRoundTrip(studio.session.recipe());
        studio.session.perform(press % 3 == 0 ? Action::Image : Action::Both);
    }
    EXPECT_EQ(seen[0].size() + seen[1].size() + seen[2].size(), 15u + 3 + 4);

    // Every draw at the bottom and the top of its range, and carried values of every kind.
    for (const float value : {0.0f, testing::kLargestRandom}) {
        testing::ReplayedSession ends(std::vector<float>(20, value), FixedClock(9999, 12, 31, 23, 59, 59));
        ends.session.startUp(0);
        Recipe recipe = ends.session.recipe();
        expectRoundTrip(recipe);
        const double largest = std::numeric_limits<double>::max();
        recipe.carried = {-largest, 0x0.0000000000001p-1022, largest, -0.0, -0x1p-1074};
        recipe.palette.phase = {std::nextafter(6.28, 0.0), 0, 1e-300};
        recipe.picture.fi0 = std::nextafter(6.283, 0.0);
        recipe.imeslike = value == 0 ? "T00000000000000" : "T99999999999999";
        expectRoundTrip(recipe);
    }
}

TEST(ShareCode, RefusesEveryChangedCharacterEveryCutAndForeignTextsInOneLine)
{
    testing::SeededSession studio(7);
    studio.startUp();
    const std::string code = shareCode(studio.session.recipe());
    EXPECT_EQ(refusal("  " + code + "\n"), "") << "white space around a code is no damage";
    std::vector<std::string> bad{"", "   ", "GENART:" + code.substr(7), "genart;" + code.substr(7), "genart-recipe=1",
                                 code + std::string(60, 'A'), "genart:" + std::string(5000, 'x')};
    for (const char foreign : {'+', '/', '=', ' ', '\xc3', '\0'})
        bad.push_back(code.substr(0, 20) + foreign + code.substr(21));
    for (std::size_t at = 7; at < code.size(); ++at) {
        bad.push_back(code.substr(0, at));
        for (const char other : kAlphabet) // Base64's spare bits in the last character too
            if (other != code[at])
                bad.push_back(code.substr(0, at) + other + code.substr(at + 1));
    }
    for (const std::string& text : bad) {
        const std::string message = refusal(text);
        EXPECT_NE(message, "") << text;
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
    EXPECT_NE(refusal("ftp:" + code.substr(7)).find("does not start with genart:"), std::string::npos);
}

// The code with its bytes changed and its checksum made right again.
std::string recoded(const std::string& code, void (*change)(std::string&))
{
    std::string text = code.substr(7);
    for (char& c : text)
        c = c == '-' ? '+' : c == '_' ? '/' : c;
    text.append((4 - text.size() % 4) % 4, '=');
    gsize length = 0;
    guchar* decoded = g_base64_decode(text.c_str(), &length);
    std::string bytes(reinterpret_cast<const char*>(decoded), length - 4);
    g_free(decoded);
    change(bytes);
    const uLong sum = crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<char>((sum >> shift) & 0xffu));
    gchar* encoded = g_base64_encode(reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
    std::string out = "genart:" + std::string(encoded);
    g_free(encoded);
    for (char& c : out)
        c = c == '+' ? '-' : c == '/' ? '_' : c;
    return out.substr(0, out.find('='));
}

// A frame kept while the colours cycled carries its turn; a code without the turn's flag is the
// still picture, and a code whose flag promises a turn it lacks is refused.
TEST(ShareCode, KeepsTheTurnOfACycledFrame)
{
    testing::SeededSession studio(4);
    studio.startUp();
    Recipe recipe = studio.session.recipe();
    recipe.cycle = {299, 300};
    const std::string code = shareCode(recipe);
    EXPECT_LE(code.size(), kLongestShareCode);
    ASSERT_TRUE(std::holds_alternative<Recipe>(parseShareCode(code)));
    EXPECT_EQ(std::get<Recipe>(parseShareCode(code)), recipe);
    recipe.cycle = {};
    EXPECT_NE(shareCode(recipe), code);
    EXPECT_NE(refusal(recoded(shareCode(recipe), [](std::string& b) { b[0] = '\x11'; })), "");
}

TEST(ShareCode, RefusesARightChecksumOverWrongContent)
{
    testing::SeededSession studio(9);
    studio.startUp();
    Recipe recipe = studio.session.recipe();
    const std::string code = shareCode(recipe);
    ASSERT_EQ(recoded(code, [](std::string&) {}), code);
    for (const auto change : {+[](std::string& b) { b[0] = '\x20'; }, +[](std::string& b) { b[0] = '\x12'; }})
        EXPECT_NE(refusal(recoded(code, change)).find("newer genart"), std::string::npos);
    EXPECT_NE(refusal(recoded(code, [](std::string& b) { b.push_back('\0'); })), "");
    EXPECT_NE(refusal(recoded(code, [](std::string& b) { b.pop_back(); })), "");
    // 10^14 and more fit the name's 47 bits but are no name.
    EXPECT_NE(refusal(recoded(code, [](std::string& b) { b[1] = '\xff'; })).find("imeslike"), std::string::npos);

    recipe.picture.tip1 = 16; // four bits hold it; no draw gives it
    EXPECT_NE(refusal(shareCode(recipe)).find("picture.tip1"), std::string::npos);
    recipe = studio.session.recipe();
    recipe.carried.ba = std::numeric_limits<double>::quiet_NaN();
    EXPECT_NE(refusal(shareCode(recipe)).find("carried.ba"), std::string::npos);
}

} // namespace
} // namespace genart
