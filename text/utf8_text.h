// UTF-8 as the report's outputs need it: JSON refuses invalid text, pandas refuses a table
// with it, and a broken sequence spoils an SVG; names and lines come from the user's bytes.
#pragma once

#include <cstddef>
#include <string>

// Length of the well-formed UTF-8 character at text[i], 0 where there is none (a stray
// byte, an overlong form, a surrogate, a code point past U+10FFFF, or a cut sequence).
std::size_t utf8_length(const std::string& text, std::size_t i);
