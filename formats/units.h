// Units of concentration (factor in mol/L) and time (factor in s). A value v in unit A is
// v * A.factor / B.factor in unit B; the ratio is snapped to a whole number or its inverse
// when it is one, so that 9.699 uM reads 0.009699 mM and not 0.009699000000000001.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace formats {

struct Unit {
    std::string name;     // "uM", "min", or a description such as "umol / l"
    double factor = 0.0;  // mol/L or s per unit; 0 when unknown
    bool known() const { return factor > 0.0; }
};

// M, mM, uM (also µM, μM), nM, and mol/l, mmol/l, umol/l, nmol/l (any case, '/L' or ' / l').
std::optional<Unit> concentration_unit(std::string_view name);
// s, sec, second(s), min, minute(s), h, hr, hour(s).
std::optional<Unit> time_unit(std::string_view name);

// The named unit (M, mM, uM, nM) for a factor: the largest not above it, nM below all.
Unit named_concentration_unit(double factor);
// The named unit of exactly this factor, if there is one.
std::optional<Unit> exact_concentration_unit(double factor);
std::optional<Unit> exact_time_unit(double factor);

// A conversion worked out once for many values.
class Conversion {
  public:
    Conversion(const Unit& from, const Unit& to);
    double operator()(double value) const { return divide_ ? value / by_ : value * by_; }

  private:
    double by_ = 1.0;
    bool divide_ = false;
};

double convert(double value, const Unit& from, const Unit& to);

// The shortest form that reads back as the value, or 12 significant digits where that is
// longer: what the curve files and messages print.
std::string number_text(double value);
void append_number(std::string& out, double value);  // the same, appended
// Six significant digits: what a summary prints, the files holding the rest.
std::string brief_number(double value);

}  // namespace formats
