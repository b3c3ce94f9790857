#include "text/number_text.h"

#include <cmath>
#include <cstdio>

std::string number_text(double value, const char* format, NonFinite style) {
    if (std::isnan(value) && style == NonFinite::UNDEFINED) return "undefined";
    if (style == NonFinite::R && !std::isfinite(value))
        return std::isnan(value) ? "NaN" : value > 0 ? "Inf" : "-Inf";
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string significant(double value, int digits, NonFinite style) {
    char format[16];
    std::snprintf(format, sizeof format, "%%.%dg", digits);
    return number_text(value, format, style);
}
