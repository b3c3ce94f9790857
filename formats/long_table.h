// Long (tidy) layout: one row per point. Columns are recognised by their names (any case,
// a unit after the name as in "concentration (uM)"):
//
//   time    time, t
//   value   value, concentration, conc, substrate, s, signal, absorbance, fluorescence
//   curve   curve, id, well, sample, series, name, replicate, measurement, group
//           (several are joined, in table order, to name the curve)
//   S0      s0, initial, nominal
//
// A table is long when it has a time, a value and a curve or S0 column. A curve's S0 is its
// S0 cell (the same on all its rows), or else its name when that reads as a concentration
// ("S0=10", "10 uM"); without a unit it is in the value's unit. The value's unit is the one
// in its header, or --conc-unit; with --signal-per-conc as in the wide layout. Rows may come
// in any order; a curve is made of its rows in the order of their times, and curves are
// ordered by S0, then by name.
#pragma once

#include "formats/dataset.h"
#include "formats/table_frame.h"
#include "formats/table_options.h"

namespace formats {

bool is_long_table(const Table& table);
Dataset read_long_table(const Table& table, const TableOptions& options);

}  // namespace formats
