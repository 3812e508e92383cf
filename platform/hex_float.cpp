#include "platform/hex_float.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace genart {
namespace {

// Longer than any double's text in either form, far shorter than anything worth reading.
constexpr std::size_t kLongestNumber = 64;

std::optional<double> parsedWhole(std::string_view text, std::chars_format format)
{
    double value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, format);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::string hexFloatText(double value)
{
    char text[kLongestNumber];
    char* at = text;
    // to_chars leaves out the "0x" that %a writes after the sign.
    if (std::signbit(value) && !std::isnan(value)) {
        *at++ = '-';
        value = -value;
    }
    if (std::isfinite(value)) {
        *at++ = '0';
        *at++ = 'x';
    }
    const auto written = std::to_chars(at, text + sizeof text, value, std::chars_format::hex);
    return std::string(text, written.ptr);
}

std::optional<double> parseHexFloat(std::string_view text)
{
    if (text.empty() || text.size() > kLongestNumber)
        return std::nullopt;
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars reads a sign of its own; one sign is all a number has.
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    std::optional<double> value;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::string digits(text.substr(2));
        if (const std::size_t comma = digits.find(','); comma != std::string::npos)
            digits[comma] = '.';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
            return std::nullopt; // a sign after "0x"
        value = parsedWhole(digits, std::chars_format::hex);
    } else {
        value = parsedWhole(text, std::chars_format::general);
    }
    if (!value)
        return std::nullopt;
    return negative ? -*value : *value;
}

} // namespace genart
