// The user's files read line by line as the readers' streams split them, with a bound.
#pragma once

#include <cstddef>
#include <istream>
#include <string>

namespace input_checks {

// A line is checked up to this many characters: the rest of a longer one is read past and
// dropped, so that a file of one endless line cannot fill the memory.
constexpr std::size_t LINE_KEEP = std::size_t{1} << 20;

// The next physical line, as std::getline splits them, of at most LINE_KEEP characters;
// cut tells whether more was dropped. False at the end of the input.
bool read_line(std::istream& in, std::string& line, bool& cut);

// The blanks that end a word for the readers' streams.
bool is_blank(char c);

}  // namespace input_checks
