// The program's rate law as JSON, for the programs that drive the reports: its name, formula,
// equation and each constant's name, role and meaning, all from the law's header.
#pragma once

#include <nlohmann/json.hpp>

nlohmann::ordered_json law_json();
