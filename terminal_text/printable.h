#pragma once

#include <string>
#include <string_view>

namespace genart {

// The text as it may safely reach a terminal: control characters (C0, DEL and the C1 range
// U+0080 .. U+009F) and bytes that are not part of valid UTF-8 become \xHH, a backslash becomes
// \\; printable ASCII and valid UTF-8 pass unchanged. For anything a message echoes from its
// input: paths, option values, recipe keys.
std::string printable(std::string_view text);

} // namespace genart
