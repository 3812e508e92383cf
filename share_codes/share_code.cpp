#include "share_codes/share_code.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include <glib.h>
#include <zlib.h>

#include "share_codes/bit_packing.h"

namespace genart {
namespace {

// The first byte: the layout's version in the high four bits, and in the low four which
// optional values follow the fixed ones. A code with a version or a flag this program does not
// know is refused rather than misread.
constexpr unsigned kVersion = 1;
// Flag 0x1: the frame of the colour cycle the picture was kept at, its step and steps after the
// carried values, written only when the colours were turned.
constexpr unsigned kTurnFlag = 0x1;
constexpr unsigned kKnownFlags = kTurnFlag;
constexpr int kTurnBits = 30; // a turn's steps are at most 10^9 < 2^30

// The picture's name is T and 14 digits, kept as one number.
constexpr int kNameBits = 47; // 10^14 < 2^47
constexpr std::size_t kNameDigits = 14;
constexpr std::size_t kChecksumBytes = 4;

// Whole numbers: the lowest value each can hold and the bits for what lies above it.
struct WholeRange {
    int lowest;
    int bits;
};
constexpr WholeRange kBase{10, 4}, kSpread{10, 4}, kScale{10, 5};         // 10..19, 10..19, 10..38
constexpr WholeRange kTip1{1, 4}, kTip2{1, 2}, kTip3{1, 2}, kPozic0{5, 9}; // 1..15, 1..3, 1..4, 5..304

void putWhole(BitWriter& out, float value, WholeRange range)
{
    const double above = std::clamp(static_cast<double>(value) - range.lowest, 0.0,
                                    static_cast<double>((1u << range.bits) - 1));
    out.put(static_cast<std::uint64_t>(above), range.bits);
}

float takeWhole(BitReader& in, WholeRange range)
{
    return static_cast<float>(static_cast<int>(in.take(range.bits)) + range.lowest);
}

std::uint64_t nameNumber(const std::string& name)
{
    std::uint64_t number = 0;
    for (std::size_t n = 1; n < name.size() && n <= kNameDigits; ++n)
        number = number * 10 + static_cast<std::uint64_t>(std::clamp(name[n] - '0', 0, 9));
    return number;
}

std::string nameOf(std::uint64_t number)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "T%014llu", static_cast<unsigned long long>(number));
    return digits;
}

void putRecipe(BitWriter& out, const Recipe& recipe)
{
    out.put(nameNumber(recipe.imeslike), kNameBits);
    const PaletteParameters& palette = recipe.palette;
    putWhole(out, palette.base, kBase);
    putWhole(out, palette.spread, kSpread);
    for (const float scale : palette.scale)
        putWhole(out, scale, kScale);
    for (const double phase : palette.phase)
        out.putDouble(phase);
    for (const float stretch : palette.stretch)
        out.putSingle(stretch);
    const PictureParameters& picture = recipe.picture;
    putWhole(out, picture.tip1, kTip1);
    putWhole(out, picture.tip2, kTip2);
    putWhole(out, picture.tip3, kTip3);
    putWhole(out, picture.pozic0, kPozic0);
    out.putDouble(picture.fi0);
    for (const float single : {picture.r0, picture.fak1, picture.fak2, picture.fak3})
        out.putSingle(single);
    const CarriedValues& carried = recipe.carried;
    for (const double value : {carried.ba, carried.re, carried.gr, carried.bl, carried.barva})
        out.putDouble(value);
    if (recipe.cycle.turned()) {
        out.put(static_cast<std::uint64_t>(recipe.cycle.step), kTurnBits);
        out.put(static_cast<std::uint64_t>(recipe.cycle.steps), kTurnBits);
    }
}

Recipe takeRecipe(BitReader& in, bool turned)
{
    Recipe recipe;
    recipe.imeslike = nameOf(in.take(kNameBits));
    PaletteParameters& palette = recipe.palette;
    palette.base = takeWhole(in, kBase);
    palette.spread = takeWhole(in, kSpread);
    for (float& scale : palette.scale)
        scale = takeWhole(in, kScale);
    for (double& phase : palette.phase)
        phase = in.takeDouble();
    for (float& stretch : palette.stretch)
        stretch = in.takeSingle();
    PictureParameters& picture = recipe.picture;
    picture.tip1 = takeWhole(in, kTip1);
    picture.tip2 = takeWhole(in, kTip2);
    picture.tip3 = takeWhole(in, kTip3);
    picture.pozic0 = takeWhole(in, kPozic0);
    picture.fi0 = in.takeDouble();
    for (float* single : {&picture.r0, &picture.fak1, &picture.fak2, &picture.fak3})
        *single = in.takeSingle();
    CarriedValues& carried = recipe.carried;
    for (double* value : {&carried.ba, &carried.re, &carried.gr, &carried.bl, &carried.barva})
        *value = in.takeDouble();
    if (turned) {
        recipe.cycle.step = static_cast<std::int64_t>(in.take(kTurnBits));
        recipe.cycle.steps = static_cast<std::int64_t>(in.take(kTurnBits));
    }
    return recipe;
}

std::uint32_t checksum(const std::string& bytes)
{
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// URL-safe Base64 without padding (RFC 4648, section 5), through GLib's Base64.
std::string urlSafeText(const std::string& bytes)
{
    gchar* encoded = g_base64_encode(reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
    std::string text(encoded);
    g_free(encoded);
    std::replace(text.begin(), text.end(), '+', '-');
    std::replace(text.begin(), text.end(), '/', '_');
    text.erase(text.find_last_not_of('=') + 1);
    return text;
}

bool urlSafeCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// The bytes of a text urlSafeText wrote; nothing if it cannot be one.
std::optional<std::string> bytesOf(std::string text)
{
    if (text.size() % 4 == 1 || !std::all_of(text.begin(), text.end(), urlSafeCharacter))
        return std::nullopt;
    std::replace(text.begin(), text.end(), '-', '+');
    std::replace(text.begin(), text.end(), '_', '/');
    text.append((4 - text.size() % 4) % 4, '=');
    gsize length = 0;
    guchar* decoded = g_base64_decode(text.c_str(), &length);
    std::string bytes(reinterpret_cast<const char*>(decoded), length);
    g_free(decoded);
    return bytes;
}

std::string trimmed(const std::string& text)
{
    const char* const space = " \t\r\n\f\v";
    const std::size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

RecipeError fault(const std::string& message)
{
    return RecipeError{message};
}

} // namespace

std::string shareCode(const Recipe& recipe)
{
    BitWriter out;
    out.put(kVersion << 4 | (recipe.cycle.turned() ? kTurnFlag : 0u), 8);
    putRecipe(out, recipe);
    std::string bytes = out.bytes();
    const std::uint32_t sum = checksum(bytes);
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<char>((sum >> shift) & 0xffu));
    return kShareCodePrefix + urlSafeText(bytes);
}

bool looksLikeShareCode(const std::string& text)
{
    return trimmed(text.substr(0, kLongestShareCode + 64)).starts_with(kShareCodePrefix);
}

std::variant<Recipe, RecipeError> parseShareCode(const std::string& text)
{
    if (!looksLikeShareCode(text))
        return fault(std::string("not a genart share code (it does not start with ") + kShareCodePrefix + ")");
    const std::string code = trimmed(text);
    if (code.size() > kLongestShareCode)
        return fault("not a genart share code (longer than " + std::to_string(kLongestShareCode) + " characters)");
    const auto bytes = bytesOf(code.substr(std::string(kShareCodePrefix).size()));
    if (!bytes)
        return fault("share code is damaged: after genart: it may hold only letters, digits, '-' and '_'");
    if (bytes->size() <= kChecksumBytes)
        return fault("share code is cut short");
    const std::string body = bytes->substr(0, bytes->size() - kChecksumBytes);
    std::uint32_t stored = 0;
    for (std::size_t n = body.size(); n < bytes->size(); ++n)
        stored = (stored << 8) | static_cast<unsigned char>((*bytes)[n]);
    if (stored != checksum(body))
        return fault("share code is damaged or cut short (its checksum does not match)");
    const unsigned first = static_cast<unsigned char>(body.front());
    if (first >> 4 != kVersion || (first & 0xfu & ~kKnownFlags) != 0)
        return fault("share code was made by a newer genart (layout " + std::to_string(first >> 4) + ", flags "
                     + std::to_string(first & 0xfu) + ")");

    BitReader in(body);
    in.take(8);
    const Recipe recipe = takeRecipe(in, (first & kTurnFlag) != 0);
    if (in.overrun() || in.bytesLeft() != 0)
        return fault("share code has the wrong length for its layout");
    // Every value is checked as a recipe text's would be.
    auto checked = parseRecipe(recipeText(recipe));
    if (const auto* error = std::get_if<RecipeError>(&checked))
        return fault("share code holds a recipe no draw produces: " + error->message);
    // One recipe, one code: Base64's spare bits and any other slack must be as written.
    if (shareCode(recipe) != code)
        return fault("share code is damaged (it is not in the form genart writes)");
    return checked;
}

} // namespace genart
