// The drawing part of the figure script for the panels picture: one small panel per curve,
// each with its own time and concentration axes and its residuals in a strip below, so that
// a short curve is as wide as a long one and a low one as tall as a high one.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "report/figure_data.h"

struct Canvas {
    int width, height;  // pixels
};

// The page that holds a grid of `curves` panels.
Canvas grid_canvas(std::size_t curves);

// Every panel, titled by `names` (one per curve), once per format (the loop opened by
// write_terminal_choice); closes the loop.
void write_grid_panels(std::ostream& out, const std::vector<CurveData>& data,
                       const std::vector<std::string>& names);
