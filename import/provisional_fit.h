// A provisional free fit of Km and Vmax, until the statistics library's fit is wired in
// (replace provisional_free_fit with it; the parameter file takes any FreeFit).
//
// The model is velkor's: each curve starts at its S0 at time 0 and follows the closed-form
// Michaelis-Menten solution
//
//     S(t) = Km * W(x),   W(x) + ln W(x) = ln(S0 / Km) + (S0 - Vmax * t) / Km
//
// (W the Lambert W function), compared with every point after point 0 whose concentration is
// above 0, as velkor compares them. Least squares by Levenberg-Marquardt in ln Km and ln Vmax
// (both stay positive), with the derivatives of the implicit solution
//     dS/dKm = S ln(S0 / S) / (S + Km),   dS/dVmax = -t S / (S + Km),
// and standard errors from s^2 (J'J)^-1, s^2 = RSS / (n - 2). Beyond 16,384 points it takes
// every k-th point of each curve, and the variances are divided by N / n (N the points
// compared, n those taken), as J'J grows with the number of points.
//
// It starts from the integrated law S0 - S + Km ln(S0 / S) = Vmax t, which is linear in Km
// and Vmax: least squares of S0 - S on t and -ln(S0 / S) without intercept. When that gives
// no positive pair (fewer than 3 points, curves too short to bend), Km is the median S0 and
// Vmax the median initial slope (S0 - S1) / t1, their standard errors unknown.
#pragma once

#include "import/free_fit.h"
#include "import/problem.h"

namespace velkor_import {

FreeFit provisional_free_fit(const Problem& problem);

// The closed-form solution above; `guess` (> 0) is a start for S, e.g. the measured value.
double michaelis_menten_course(double s0, double t, double km, double vmax, double guess);

}  // namespace velkor_import
