// The cells and headers of lab tables, as people and plate readers write them.
//
//   numbers   "0.1389", "-4.5e-3", with a decimal comma "0,1389" where ',' is not the separator
//   times     numbers, or clock times "H:MM:SS" / "M:SS" (seconds may have a fraction), in s
//   headers   a name with a unit after it: "Time (s)", "Time [min]", "time/min"
//   S0        "2.5 uM", "0.5 mM", "50 µM", "2.5uM", "S0=10 uM", "S0 = 10" (no unit)
//   no value  an empty cell, "NaN", "NA", "n/a", "OVER", "-": a point not read
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/units.h"

namespace formats {

std::string trimmed(std::string_view text);
std::string lower_case(std::string_view text);

std::optional<double> parse_number(std::string_view cell, bool decimal_comma);
// A clock time in seconds; nullopt when the cell is not H:MM:SS or M:SS.
std::optional<double> parse_clock(std::string_view cell, bool decimal_comma);
// The reason a cell holds no value, or nullopt when it holds something else.
std::optional<std::string> missing_reason(std::string_view cell);

struct Labelled {
    std::string name;  // lower case, trimmed
    std::string unit;  // as written; empty when none
};
Labelled split_label(std::string_view header);

struct Concentration {
    double value = 0.0;
    std::optional<Unit> unit;
};
std::optional<Concentration> parse_concentration(std::string_view text, bool decimal_comma);

}  // namespace formats
