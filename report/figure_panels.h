// The drawing part of the figure script for the pictures on one pair of axes (overlay and
// normalised): measured points and fitted curves above, residuals below, once per format.
#pragma once

#include <ostream>
#include <vector>

#include "report/figure_data.h"
#include "report/figure_layout.h"

// The loop over the formats, with the terminal of each; opens a multiplot.
void write_terminal_choice(std::ostream& out);

// Both panels; the key above the top one names each curve while the curves are keyed, a
// colour scale stands for them beyond. Closes the loop.
void write_stacked_panels(std::ostream& out, const std::vector<CurveData>& data,
                          const FigureLayout& layout, bool keyed);
