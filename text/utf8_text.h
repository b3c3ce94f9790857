// UTF-8 as the companions' outputs need it: JSON refuses invalid text, pandas refuses a table
// with it, and a broken sequence spoils an SVG; names and lines come from the user's bytes.
#pragma once

#include <cstddef>
#include <string>

// Length of the well-formed UTF-8 character at text[i], 0 where there is none (a stray
// byte, an overlong form, a surrogate, a code point past U+10FFFF, or a cut sequence).
std::size_t utf8_length(const std::string& text, std::size_t i);

// The text as valid UTF-8: every byte that starts no well-formed character becomes '?', and
// every control character (below 0x20, and 0x7F) becomes `control`, or stays as it is when
// `control` is 0.
std::string clean_utf8(const std::string& text, char control = 0);
