#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace genart {

// Numbers as exact text, whatever the process's locale: every bit of a double in hexadecimal
// floating point, exactly as printf's %a writes it under the C locale ("0x1.4p+3", "-0x0p+0",
// "0x0.0000000000001p-1022"). For every number genart stores as text and reads back: recipes,
// histories, the library, share codes.
std::string hexFloatText(double value);

// Reads what hexFloatText writes, with or without a sign, and also the decimal form with a
// point ("10", "6.25", "1e3") that a person may type. A hexadecimal number may have a comma
// for its point ("0x1,4p+3"), as genart once wrote it under locales such as de_DE or tr_TR.
// The whole text must be the number: no spaces, nothing after it. Empty for anything else,
// and for infinities, NaNs and values out of a double's range.
std::optional<double> parseHexFloat(std::string_view text);

} // namespace genart
