// A provisional free fit of Km and Vmax, until the statistics library's fit is wired in
// (replace provisional_free_fit with it; the parameter file takes any FreeFit).
//
// The integrated Michaelis-Menten law, S0 - S + Km * ln(S0 / S) = Vmax * t, is linear in Km
// and Vmax: least squares of P = S0 - S on t and -L, L = ln(S0 / S), over every point after
// point 0 with S > 0, without intercept:
//
//     [ sum t^2   -sum tL ] [Vmax]   [  sum tP ]
//     [ -sum tL   sum L^2 ] [ Km ] = [ -sum LP ]
//
// standard errors from s^2 (X'X)^-1, s^2 = RSS / (n - 2). Exact for noise-free curves; with
// noise a good start, not the estimate. When it gives no positive Km and Vmax (fewer than 3
// points, curves too short to bend), Km is the median S0 and Vmax the median initial slope
// (S0 - S1) / t1, their standard errors unknown.
#pragma once

#include "import/free_fit.h"
#include "import/problem.h"

namespace velkor_import {

FreeFit provisional_free_fit(const Problem& problem);

}  // namespace velkor_import
