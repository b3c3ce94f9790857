// The drawing part of the figure script: the two panels, once per output format.
#pragma once

#include <ostream>
#include <vector>

#include "report/figure_data.h"

// The loop over the formats, with the terminal of each; opens a multiplot.
void write_terminal_choice(std::ostream& out);
// Above: measured points and fitted curves, the key above the panel.
void write_top_panel(std::ostream& out, const std::vector<CurveData>& data);
// Below: the residuals of the compared points on the same time axis; closes the loop.
void write_residual_panel(std::ostream& out, const std::vector<CurveData>& data);
