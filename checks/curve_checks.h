// The checks of one curve as the fit sees it: where its points are sampled, which of them are
// compared, and why the others are not.
#pragma once

#include "checks/censored_tail.h"
#include "checks/curve_lines.h"
#include "checks/file_warnings.h"
#include "checks/line_reading.h"
#include "checks/line_words.h"
#include "checks/message_text.h"
#include "problem/records.h"

namespace input_checks {

// Warnings about the curve in plot, read from the lines described by lines; pointsSampled is
// the objective's count (clamped into the curve).
// fit: what the fit saw of the curve, for the checks of its tail (simulated may be null).
void check_curve(const CurveLines& lines, const Plot& plot, int pointsSampled, const CurveFit& fit,
                 FileWarnings& out);

}  // namespace input_checks
