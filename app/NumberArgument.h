#pragma once

#include <string>

namespace tarnwood {

// Reads a whole command-line word as a decimal integer in [low, high]. Returns
// false, leaving `value` unchanged, for an empty word, trailing characters,
// overflow or a number outside the range.
bool ParseNumber(const std::string& text, long low, long high, long& value);

}
