// The comparison's picture: one column per law, best first; above, the measured points and
// the law's fitted curves, below, its residuals on a common scale, so that the laws' fits
// can be judged side by side.
#pragma once

#include <string>

#include "compare/comparison.h"

// Writes the gnuplot script to `path`; it renders PREFIX.svg and PREFIX.png.
bool write_comparison_figure(const Comparison& c, const std::string& prefix,
                             const std::string& path);
