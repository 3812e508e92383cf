#include "terminal_text/printable.h"

namespace genart {
namespace {

void escape(std::string& out, unsigned char byte)
{
    constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xf];
}

bool continuation(std::string_view text, std::size_t at)
{
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xc0) == 0x80;
}

// The length of the valid UTF-8 sequence of two or more bytes starting at `at`, 0 if none.
std::size_t sequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t n) { return static_cast<unsigned char>(text[at + n]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char lowest = 0x80, highest = 0xbf; // the allowed range of the second byte
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        if (lead == 0xe0)
            lowest = 0xa0; // no overlong forms
        if (lead == 0xed)
            highest = 0x9f; // no surrogates
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        if (lead == 0xf0)
            lowest = 0x90;
        if (lead == 0xf4)
            highest = 0x8f; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (!continuation(text, at + 1) || byte(1) < lowest || byte(1) > highest)
        return 0;
    for (std::size_t n = 2; n < length; ++n)
        if (!continuation(text, at + n))
            return 0;
    return length;
}

} // namespace

std::string printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte == '\\') {
            out += "\\\\";
            ++at;
        } else if (byte >= 0x20 && byte < 0x7f) {
            out += static_cast<char>(byte);
            ++at;
        } else if (const std::size_t length = byte >= 0x80 ? sequenceLength(text, at) : 0;
                   length != 0 && !(byte == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0)) {
            out.append(text.substr(at, length)); // a printable character beyond ASCII
            at += length;
        } else {
            escape(out, byte); // a control character, or a byte outside valid UTF-8
            ++at;
        }
    }
    return out;
}

} // namespace genart
