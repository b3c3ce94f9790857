// The checks of one curve as the fit sees it: where its points are sampled, which of them are
// compared, and why the others are not.
#pragma once

#include "checks/curve_lines.h"
#include "checks/file_warnings.h"
#include "checks/line_reading.h"
#include "checks/line_words.h"
#include "checks/message_text.h"
#include "problem/records.h"

namespace input_checks {

// Warnings about the curve in plot, read from the lines described by lines; pointsSampled is
// the objective's count (clamped into the curve).
void check_curve(const CurveLines& lines, const Plot& plot, int pointsSampled, FileWarnings& out);

}  // namespace input_checks
