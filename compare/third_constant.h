// The range of a law's third constant when the command line gives none, from the curves:
//
//   a concentration that divides (Kp, Ksi): from the smallest to the largest initial
//     concentration of the curves (halved and doubled where they are all the same), so that
//     the fit starts where the effect is of the size of the substrate itself;
//   a rate per time unit (kd): from 0 to 2 / T, T the longest span of a curve, so that the
//     fit starts where the enzyme loses 63 % of its activity over that curve.
#pragma once

#include <string>
#include <vector>

struct CurveExtent {
    double initial_concentration;
    double span;  // time of the last point minus that of point 0
};

struct Range {
    double low, high;
};

// role: "divisor" or "decay_rate" (as the law's JSON names it); false for any other.
bool derived_range(const std::string& role, const std::vector<CurveExtent>& curves, Range& range);

// "MIN,MAX" of an option: false unless two finite numbers with MIN < MAX whose midpoint, where
// the fit starts, is a finite number too.
bool parse_range(const std::string& text, Range& range);
