// How each curve of the picture is told apart: its colour and symbol, and its name.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "report/fit_report.h"

// Up to this many curves each have an entry in the key; beyond, the key would crowd out the
// plot, and a colour scale of the initial concentration takes its place.
constexpr std::size_t KEYED_CURVES = 16;

inline bool keyed(std::size_t curves) {
    return curves <= KEYED_CURVES;
}

// "333 mM, s0_333mM.txt": the initial concentration with `conc_unit`, then the file; `number`
// (from 1) names a curve that has neither.
std::string curve_name(const CurveResult& curve, const std::string& conc_unit, size_t number);

// Line type N for curve N: a colour and a filled symbol of its own while the curves are
// keyed, else a colour along a scale of the initial concentration (of the curve number when
// the initial concentrations do not tell the curves apart), with the scale's label.
void write_styles(std::ostream& out, const FitReport& report);
