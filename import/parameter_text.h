// The parameter file, centred on a free fit of Km and Vmax:
//
//   const 0  Km - w   Km    Km + w      the fit starts at the midpoint, Km
//   const 1  Vmax - v Vmax  Vmax + v    held at the midpoint, Vmax
//
// with w, v twice the standard error, at most half the value (half the value when the
// standard error is unknown), so that both ranges stay above 0. velkor reads no comments:
// every word of a '#' line that is one of its keywords would still count, so the comment
// lines hold none and the source's name is written as one quoted word.
#pragma once

#include <string>

#include "import/free_fit.h"
#include "import/problem.h"

namespace velkor_import {

struct Range {
    double low, value, high;
};
Range centred_range(double value, double standard_error);

std::string parameter_file_text(const Problem& problem, const FreeFit& fit,
                                const std::string& source);

}  // namespace velkor_import
