// Numbers as every output of the companions writes them.
#pragma once

#include <string>

// How a value that is no finite number is written.
enum class NonFinite {
    PRINTF,     // as printf writes it: nan, -nan, inf, -inf
    R,          // as R, pandas and gnuplot read it: NaN, Inf, -Inf
    UNDEFINED,  // NaN as the word "undefined" (for people), infinities as printf writes them
};

// `value` as printf writes it with `format`, a conversion of one double ("%.6g", "%10.5e").
std::string number_text(double value, const char* format, NonFinite style = NonFinite::PRINTF);

// `value` with `digits` significant digits ("%.<digits>g").
std::string significant(double value, int digits, NonFinite style = NonFinite::PRINTF);
