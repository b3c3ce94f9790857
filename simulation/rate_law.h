// The rate law of the build, inline, for the model function and for the
// objective's own integration loop alike. The build names the law's header in
// VELKOR_RATE_LAW, one per program (see the program table of CMakeLists.txt).
// A law header defines (or takes from laws/law_constants.h and laws/time_invariant.h)
// RateLawConstants, rate_law_constants(rate_constants),
// rate_law_at_time(k, t) (the constants in effect at model time t, 0 at point 0 of the
// curve; k itself for a law without time), rate_law(k, y, y0), LAW_NAME, LAW_FORMULA,
// LAW_EQUATION and LAW_CONSTANTS, for CONSTANTS constants.
#pragma once

#ifndef VELKOR_RATE_LAW
#error "VELKOR_RATE_LAW (the rate law's header) must be defined by the build"
#endif

#include VELKOR_RATE_LAW
