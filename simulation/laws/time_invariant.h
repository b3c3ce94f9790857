// For a law that does not change with time: the constants in effect are the same at every t.
#pragma once

#include "simulation/laws/law_constants.h"

inline const RateLawConstants& rate_law_at_time(const RateLawConstants& k, double /*t*/) {
    return k;
}
