#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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
    if (const auto* error = std::get_if<RecipeError>(&read))
        return error->message;
    return {};
}

void expectRoundTrip(const Recipe& recipe)
{
    const std::string code = shareCode(recipe);
    EXPECT_LE(code.size(), kLongestShareCode) << code;
    ASSERT_TRUE(code.starts_with("genart:")) << code;
    EXPECT_EQ(code.find_first_not_of(kAlphabet, 7), std::string::npos) << code;
    const auto read = parseShareCode(code);
    ASSERT_TRUE(std::holds_alternative<Recipe>(read)) << refusal(code) << "\n" << recipeText(recipe);
    EXPECT_EQ(std::get<Recipe>(read), recipe) << code;
    // Doubles compare equal at -0 and 0; the bits must come back too.
    EXPECT_EQ(recipeText(std::get<Recipe>(read)), recipeText(recipe));
}

TEST(ShareCode, RoundTripsThePicturesOfEveryFormulaChannelAndTone)
{
    std::set<float> formulas, channels, tones;
    testing::SeededSession studio(2026);
    studio.startUp();
    for (int press = 0; press < 400 && formulas.size() + channels.size() + tones.size() < 15 + 3 + 4; ++press) {
        const Recipe& recipe = studio.session.recipe();
        formulas.insert(recipe.picture.tip1);
        channels.insert(recipe.picture.tip2);
        tones.insert(recipe.picture.tip3);
        expectRoundTrip(recipe);
        studio.session.perform(press % 3 == 0 ? Action::Image : Action::Both);
    }
    EXPECT_EQ(formulas.size(), 15u);
    EXPECT_EQ(channels.size(), 3u);
    EXPECT_EQ(tones.size(), 4u);
}

// Every draw at the bottom and at the top of its range, as the draws give them.
TEST(ShareCode, RoundTripsTheEndsOfEveryRange)
{
    for (const float value : {0.0f, testing::kLargestRandom}) {
        testing::ReplayedSession studio(std::vector<float>(20, value), FixedClock(9999, 12, 31, 23, 59, 59));
        studio.session.startUp(0);
        expectRoundTrip(studio.session.recipe());
    }
    testing::ReplayedSession studio(std::vector<float>(20, 0.5f), FixedClock(1, 1, 1, 0, 0, 0));
    studio.session.startUp(0);
    Recipe recipe = studio.session.recipe();
    expectRoundTrip(recipe);
    const double largest = std::numeric_limits<double>::max();
    recipe.imeslike = "T99999999999999";
    recipe.carried = {-largest, 0x0.0000000000001p-1022, largest, -0.0, -0x1p-1074};
    expectRoundTrip(recipe);
    recipe.imeslike = "T00000000000000";
    recipe.palette.phase = {std::nextafter(6.28, 0.0), 0, 1e-300};
    recipe.picture.fi0 = std::nextafter(6.283, 0.0);
    recipe.picture.r0 = std::nextafter(4.0f, 0.0f);
    expectRoundTrip(recipe);
}

std::string withCharacter(std::string code, std::size_t at, char c)
{
    code[at] = c;
    return code;
}

TEST(ShareCode, RefusesEveryChangedCharacterAndEveryCut)
{
    testing::SeededSession studio(7);
    studio.startUp();
    const std::string code = shareCode(studio.session.recipe());
    for (std::size_t at = 7; at < code.size(); ++at) {
        for (const char other : kAlphabet) {
            if (other != code[at]) {
                EXPECT_NE(refusal(withCharacter(code, at, other)), "") << at << " " << other;
            }
        }
        EXPECT_NE(refusal(code.substr(0, at)), "") << "cut at " << at;
    }
    EXPECT_EQ(refusal("  " + code + "\n"), "") << "white space around a code is no damage";
}

TEST(ShareCode, RefusesForeignAndHostileTextsInOneLine)
{
    testing::SeededSession studio(8);
    studio.startUp();
    const std::string code = shareCode(studio.session.recipe());
    const std::string body = code.substr(7);
    for (const std::string& text : std::vector<std::string>{
             std::string(), std::string("   "), "GENART:" + body, "genart;" + body, "https://example.org/?" + body,
          "genart-recipe=1", "genart:", "genart:A", code + std::string(60, 'A'), "genart:" + std::string(5000, 'x'),
          withCharacter(code, 20, '+'), withCharacter(code, 20, '/'), withCharacter(code, 20, '='),
          withCharacter(code, 20, ' '), withCharacter(code, 20, '\xc3'), withCharacter(code, 20, '\0')}) {
        const std::string message = refusal(text);
        EXPECT_NE(message, "") << text;
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        EXPECT_LT(message.size(), 160u) << message;
    }
    EXPECT_NE(refusal("ftp:" + body).find("does not start with genart:"), std::string::npos);
}

// A code whose checksum is right but whose values no draw gives, or whose layout is newer.
std::string recoded(const std::string& code, const std::function<void(std::string&)>& change)
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

TEST(ShareCode, RefusesCodesWithARightChecksumButWrongContent)
{
    testing::SeededSession studio(9);
    studio.startUp();
    Recipe recipe = studio.session.recipe();
    const std::string code = shareCode(recipe);
    EXPECT_EQ(recoded(code, [](std::string&) {}), code) << "the test's own re-encoding is faithful";

    EXPECT_NE(refusal(recoded(code, [](std::string& b) { b[0] = static_cast<char>(0x20); })).find("newer genart"),
              std::string::npos);
    EXPECT_NE(refusal(recoded(code, [](std::string& b) { b[0] = static_cast<char>(0x11); })).find("newer genart"),
              std::string::npos);
    EXPECT_NE(refusal(recoded(code, [](std::string& b) { b.push_back('\0'); })), "");
    EXPECT_NE(refusal(recoded(code, [](std::string& b) { b.pop_back(); })), "");

    recipe.picture.tip1 = 16; // four bits hold it; no draw gives it
    EXPECT_NE(refusal(shareCode(recipe)).find("picture.tip1"), std::string::npos);
    recipe = studio.session.recipe();
    recipe.carried.ba = std::numeric_limits<double>::quiet_NaN();
    EXPECT_NE(refusal(shareCode(recipe)).find("carried.ba"), std::string::npos);
    recipe = studio.session.recipe();
    recipe.imeslike = "T99999999999999";
    const std::string largest = shareCode(recipe);
    // 10^14 and more fit the name's bits but are no name.
    EXPECT_NE(refusal(recoded(largest, [](std::string& b) { b[1] = static_cast<char>(0xff); })).find("imeslike"),
              std::string::npos);
}

} // namespace
} // namespace genart
