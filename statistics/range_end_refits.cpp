#include "statistics/range_end_refits.h"

#include <limits>

#include "simulation/fit.h"
#include "simulation/objective.h"
#include "simulation/workspace.h"

RangeEndRefits range_end_refits(const ConstantSet& ranges) {
    RangeEndRefits refits;
    refits.at[0][0] = refits.at[0][1] = std::numeric_limits<double>::quiet_NaN();
    for (int j = 1; j < CONSTANTS; ++j) {
        for (int end = 0; end < 2; ++end) {
            double held[CONSTANTS];
            for (int i = 0; i < CONSTANTS; ++i)
                held[i] = fit_workspace.constant_mid[i];
            held[j] = end == 0 ? ranges.constant_min[j] : ranges.constant_max[j];
            refits.at[j][end] = fit_constant_zero(held, sum_of_squares_at, nullptr).constants[0];
        }
    }
    return refits;
}
