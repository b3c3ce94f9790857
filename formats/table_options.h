// What the command line tells the table readers that the table itself may not say.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "formats/units.h"

namespace formats {

struct TableOptions {
    char separator = 0;                     // 0: sniffed
    std::vector<std::string> s0;            // one per curve column of a wide table, in order
    std::optional<double> signal_per_conc;  // values are signals: concentration = signal / F
    std::string blank_column;               // its mean is subtracted from every signal first
    std::optional<Unit> conc_unit;          // for values and S0s written without a unit
    std::optional<Unit> time_unit;          // for times written without a unit
};

}  // namespace formats
