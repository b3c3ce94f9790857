// PREFIX.enzymeml.json: the fit written back into the EnzymeML document the problem was
// imported from. It holds everything the source held, the law as an ode equation for the
// substrate, the free fit's constants as parameters (value, stderr, initial_value and the
// range used as lower_bound and upper_bound) and the simulated curves at the free fit as
// measurement data with is_simulated true, in the source's units. The figures EnzymeML has
// no place for (profile intervals, correlations, the residual test) stay in PREFIX.json.
//
// The import's record, import.json beside the parameter file, says which measurement and
// species each curve file is, the units and the time shift.
#pragma once

#include <string>

#include "report/fit_report.h"

// Builds the document; false with a one-line reason in `error` when the source or the
// import's record cannot be read or does not match the problem.
bool enzymeml_document(const FitReport& report, const std::string& source,
                       const std::string& parameter_file, std::string& document,
                       std::string& error);
