// A fit written back into the EnzymeML document it came from, as a new document.
//
// Everything the source held is kept, unknown keys included. Added, each replacing an entry
// of the same kind that an earlier write left:
//   equations     an "ode" equation for the substrate: species_id, equation, variables
//   parameters    one per constant (same id: replaced)
//   measurements  per simulated course, a species_data entry of the substrate with
//                 is_simulated true, in the units of the measured entry it stands beside
// A reader that skips is_simulated entries gets the same measured curves from both documents.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace formats {

struct FittedConstant {
    std::string id;  // also the symbol used in the equation, e.g. "K_M"
    std::string name;
    double value = 0.0;
    std::optional<double> standard_error;
    std::optional<double> initial_value, lower_bound, upper_bound;
    std::optional<nlohmann::json> unit;  // a UnitDefinition (see unit_definition)
};

struct SimulatedCourse {
    std::string measurement_id;
    std::vector<double> time, data;  // in the units of the measured course
};

struct FitForDocument {
    std::string species_id;
    std::string equation;  // right-hand side of d(species)/dt, e.g. "-v_max * s1 / (K_M + s1)"
    std::vector<FittedConstant> constants;
    std::vector<SimulatedCourse> courses;
};

// Throws InputError when a course names a measurement (or its substrate entry) the document
// does not hold.
nlohmann::json write_enzymeml(const nlohmann::json& source, const FitForDocument& fit);

}  // namespace formats
