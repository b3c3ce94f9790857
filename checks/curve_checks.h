// The checks of one curve as the fit sees it: where its points are sampled, which of them are
// compared, and why the others are not.
#pragma once

#include "problem/records.h"
#include "report/check_text.h"
#include "report/curve_lines.h"

namespace input_checks {

// The objective's count of points 0..n-1 sampled, worked out from the times alone, for a
// caller without a fit. Near the end of a curve that was not started at time 0 it may differ
// from the objective's count by one point where the model time meets the last time exactly.
int predicted_points_sampled(const Plot& plot);

// Warnings about the curve in plot, read from the lines described by lines; pointsSampled is
// the objective's count (clamped into the curve).
void check_curve(const CurveLines& lines, const Plot& plot, int pointsSampled, FileWarnings& out);

}  // namespace input_checks
