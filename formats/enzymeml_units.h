// EnzymeML UnitDefinitions. Only base_units are trusted (names are free text): each base unit
// is (multiplier * 10^scale * kind)^exponent, multiplier 1, scale 0 and exponent 1 when absent.
// A concentration is mole^1 * litre^-1 (or metre^-3); a time is second^1 (minutes are second
// with multiplier 60). Dimensionless base units are ignored.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "formats/units.h"

namespace formats {

// `where` names the field in messages, e.g. "doc.json: measurements[0].species_data[1].data_unit".
Unit enzymeml_concentration_unit(const nlohmann::json& definition, const std::string& where);
Unit enzymeml_time_unit(const nlohmann::json& definition, const std::string& where);

// A UnitDefinition for conc^1 * time^time_exponent (time_exponent 0: a concentration, -1: a rate).
nlohmann::json unit_definition(const Unit& conc, const Unit& time, int time_exponent);

}  // namespace formats
