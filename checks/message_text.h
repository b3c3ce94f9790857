// The user's text and numbers as the warnings quote them.
#pragma once

#include <cstddef>
#include <string>

namespace input_checks {

// Characters of a line quoted in a message.
constexpr std::size_t QUOTE_LENGTH = 60;
// Characters of a file or folder name quoted in a message: enough for any sane path.
constexpr std::size_t NAME_QUOTE_LENGTH = 4096;

// 'text' of a line for a message: trimmed, cut to `length` characters, printable, valid
// UTF-8.
std::string quoted(const std::string& text, std::size_t length = QUOTE_LENGTH);
// A number as a message shows it: up to ten significant digits.
std::string number(double value);
// "1 point", "3 points".
std::string count_of(long long n, const std::string& singular, const std::string& plural);

}  // namespace input_checks
