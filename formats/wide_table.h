// Wide layout: one row per time, one column per curve.
//
// The time column is the first whose name begins with "time" (or is "t"), else the first
// column. Columns named "temp..." or "T°..." (a plate reader's temperature) are not read, nor
// is the --blank column, which gives the blank's mean. Every other column is a curve; its S0
// is the concentration in its header ("2.5 uM", "S0=10 uM", "A1 (2.5 uM)") or the --s0 entry
// of its place.
//
// Values are concentrations in the unit of the column's S0 (or --conc-unit); with
// --signal-per-conc F they are signals, and concentration = (signal - blank mean) / F in the
// unit --conc-unit, or else that of the first S0 given with a unit.
#pragma once

#include "formats/dataset.h"
#include "formats/table_cells.h"
#include "formats/table_frame.h"
#include "formats/table_options.h"

namespace formats {

Dataset read_wide_table(const Table& table, const TableOptions& options);

// Shared with the long layout: the mean of a column's numbers, for --blank.
double blank_mean(const Table& table, std::size_t column, std::vector<std::string>& notes);

// The unit concentrations are given in when values are signals; nullopt when none is known.
std::optional<Unit> signal_unit(const TableOptions& options,
                                const std::vector<std::optional<Concentration>>& s0s);

}  // namespace formats
