// The substrate's measured time courses from an EnzymeML v2 document (JSON).
//
// The species fitted is `species` when given; otherwise the only species that has a time
// course in any measurement (several: InputError listing them). One curve per measurement
// entry of that species with data; entries marked is_simulated are model curves and are not
// read. Units come from base_units; `prepared` is the nominal S0. JSON-LD keys, unknown keys
// and nulls in optional fields are ignored; a null sample is a point left out.
#pragma once

#include <string>

#include "formats/dataset.h"

namespace formats {

Dataset read_enzymeml(const std::string& text, const std::string& source,
                      const std::string& species);

}  // namespace formats
