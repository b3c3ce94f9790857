// Points at or below 0 left out at the end of a curve while points above 0 from the same
// baseline noise are kept: once the substrate is gone the measurements scatter around 0, and
// keeping only their positive half pulls the fitted tail up.
//
// The tail starts where the fitted simulation falls below TAIL_LEVEL times the residual sd
// for good; the warning asks for the curve to be cut there.
#pragma once

#include <functional>
#include <vector>

#include "checks/file_warnings.h"
#include "problem/records.h"

namespace input_checks {

// The simulated value at or below which a measurement is lost in the noise.
constexpr double TAIL_LEVEL = 2.0;

// What a fit saw of one curve.
struct CurveFit {
    const std::vector<double>* simulated;  // per point, NaN where the simulation never reached
    double residual_sd;
};

// Warns when the tail of the curve holds both; returns the points at or below 0 it spoke of,
// so that no other warning repeats them. line_of(i): the file line of point i.
std::vector<int> check_censored_tail(const Plot& plot, int reached, const CurveFit& fit,
                                     const std::function<int(int)>& line_of, FileWarnings& out);

}  // namespace input_checks
