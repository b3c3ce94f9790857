// How constant 0 depends on a constant held: refitted, as the fit programs fit it, with that
// constant at each end of its range and the others at their midpoints.
#pragma once

#include "problem/records.h"

struct RangeEndRefits {
    // at[j][0], at[j][1]: constant 0 with constant j (1 .. CONSTANTS-1) at the lower and the
    // upper end of its range; at[0] unused (NaN).
    double at[CONSTANTS][2];
};

RangeEndRefits range_end_refits(const ConstantSet& ranges);
