#pragma once

#include <string>
#include <string_view>

namespace tarnwood {

// `text` made safe to print on one line of a terminal: control characters
// (C0, DEL and the C1 range), bytes that are not valid UTF-8 and the
// backslash itself are written as escapes (\n, \t, \r, \\ or \xHH); every
// other character, UTF-8 letters included, is kept as it is. The result
// names the same bytes unambiguously.
std::string EscapedName(std::string_view text);

}
