#include "formats/units.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace formats {

namespace {

const std::array<Unit, 4> CONCENTRATIONS = {{{"M", 1.0}, {"mM", 1e-3}, {"uM", 1e-6}, {"nM", 1e-9}}};
const std::array<Unit, 3> TIMES = {{{"s", 1.0}, {"min", 60.0}, {"h", 3600.0}}};

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// "umol / L" -> "umol/l": blanks do not matter in the spelled-out forms.
std::string compact_lower(std::string_view text) {
    std::string out;
    for (char c : lower(text))
        if (c != ' ') out += c;
    return out;
}

bool close(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::fabs(b);
}

}  // namespace

std::optional<Unit> concentration_unit(std::string_view name) {
    std::string n(name);
    // Micro as MICRO SIGN or GREEK SMALL LETTER MU, both in UTF-8.
    for (const char* mu : {"\xC2\xB5", "\xCE\xBC"})
        if (n.rfind(mu, 0) == 0) n = "u" + n.substr(2);
    for (const Unit& u : CONCENTRATIONS)
        if (n == u.name) return u;
    static const std::array<const char*, 4> SPELLED = {"mol/l", "mmol/l", "umol/l", "nmol/l"};
    const std::string c = compact_lower(n);
    for (std::size_t i = 0; i < SPELLED.size(); ++i)
        if (c == SPELLED[i]) return CONCENTRATIONS[i];
    return std::nullopt;
}

std::optional<Unit> time_unit(std::string_view name) {
    const std::string n = lower(name);
    if (n == "s" || n == "sec" || n == "second" || n == "seconds") return TIMES[0];
    if (n == "min" || n == "minute" || n == "minutes") return TIMES[1];
    if (n == "h" || n == "hr" || n == "hour" || n == "hours") return TIMES[2];
    return std::nullopt;
}

Unit named_concentration_unit(double factor) {
    for (const Unit& u : CONCENTRATIONS)
        if (factor >= u.factor * (1 - 1e-9)) return u;
    return CONCENTRATIONS.back();
}

std::optional<Unit> exact_concentration_unit(double factor) {
    for (const Unit& u : CONCENTRATIONS)
        if (close(factor, u.factor)) return u;
    return std::nullopt;
}

std::optional<Unit> exact_time_unit(double factor) {
    for (const Unit& u : TIMES)
        if (close(factor, u.factor)) return u;
    return std::nullopt;
}

Conversion::Conversion(const Unit& from, const Unit& to) {
    const double ratio = from.factor / to.factor;
    if (ratio >= 1.0) {
        const double r = std::round(ratio);
        by_ = close(ratio, r) ? r : ratio;
    } else {
        const double inverse = to.factor / from.factor;
        const double r = std::round(inverse);
        by_ = close(inverse, r) ? r : inverse;
        divide_ = true;
    }
}

double convert(double value, const Unit& from, const Unit& to) {
    return Conversion(from, to)(value);
}

void append_number(std::string& out, double value) {
    if (value == 0.0) value = 0.0;  // no "-0"
    // A plate holds 400,000 values: the shortest form that reads back the same is quick and
    // is what was written for nearly all; a longer one (0.30000000000000004, left by
    // arithmetic) is given to 12 digits, as %.12g would.
    char buffer[40];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ptr - buffer > 14)
        result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 12);
    out.append(buffer, result.ptr);
}

std::string number_text(double value) {
    std::string text;
    append_number(text, value);
    return text;
}

std::string brief_number(double value) {
    if (value == 0.0) return "0";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

}  // namespace formats
