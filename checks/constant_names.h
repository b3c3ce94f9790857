// The program's constants as the messages name them, from its law.
#pragma once

#include <string>

namespace input_checks {

// "Km", or "constant 7" for an index the law does not have.
std::string constant_name(int j);
// "0 = Km, 1 = Vmax and 2 = K2".
std::string constant_list();
// What a constant held at 0, or fitted from 0, does to the fit.
std::string at_zero(int j);

}  // namespace input_checks
