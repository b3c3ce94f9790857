#include "formats/enzymeml_units.h"

#include <cmath>
#include <map>

#include "formats/dataset.h"

namespace formats {

namespace {

using nlohmann::json;

double number_or(const json& object, const char* key, double fallback, const std::string& where) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return fallback;
    if (!it->is_number() || !std::isfinite(it->get<double>()))
        throw InputError(where + "." + key + ": expected a number");
    return it->get<double>();
}

// Exponent per kind and the product of the (multiplier * 10^scale)^exponent factors.
struct Dimensions {
    std::map<std::string, double> exponents;
    double factor = 1.0;
};

Dimensions dimensions(const json& definition, const std::string& where) {
    if (!definition.is_object()) throw InputError(where + ": expected a unit definition");
    const auto it = definition.find("base_units");
    if (it == definition.end() || !it->is_array() || it->empty())
        throw InputError(where + ".base_units: expected a list of base units");
    Dimensions d;
    for (std::size_t i = 0; i < it->size(); ++i) {
        const json& base = (*it)[i];
        const std::string at = where + ".base_units[" + std::to_string(i) + "]";
        if (!base.is_object() || !base.contains("kind") || !base["kind"].is_string())
            throw InputError(at + ": expected an object with a kind");
        const std::string kind = base["kind"];
        const double exponent = number_or(base, "exponent", 1.0, at);
        const double multiplier = number_or(base, "multiplier", 1.0, at);
        const double scale = number_or(base, "scale", 0.0, at);
        if (multiplier <= 0.0 || std::fabs(scale) > 100 || std::fabs(exponent) > 10)
            throw InputError(at + ": expected a positive multiplier, a scale and an exponent");
        if (kind == "dimensionless") continue;
        d.exponents[kind] += exponent;
        d.factor *= std::pow(multiplier * std::pow(10.0, scale), exponent);
    }
    return d;
}

std::string described(const json& definition) {
    const auto it = definition.find("name");
    return it != definition.end() && it->is_string() ? " ('" + it->get<std::string>() + "')" : "";
}

Unit checked(double factor, std::string name, const std::string& where) {
    if (!std::isfinite(factor) || factor <= 0.0 || factor > 1e30 || factor < 1e-30)
        throw InputError(where + ": the base units give no usable factor");
    return {std::move(name), factor};
}

}  // namespace

Unit enzymeml_concentration_unit(const json& definition, const std::string& where) {
    if (definition.is_null()) throw InputError(where + ": missing: expected mole / litre");
    const Dimensions d = dimensions(definition, where);
    double factor = d.factor;
    const std::map<std::string, double> per_litre = {{"mole", 1}, {"litre", -1}};
    const std::map<std::string, double> per_liter = {{"mole", 1}, {"liter", -1}};
    const std::map<std::string, double> per_cubic_metre = {{"mole", 1}, {"metre", -3}};
    if (d.exponents == per_cubic_metre) {
        factor *= 1e-3;  // 1 m^3 = 1000 L
    } else if (d.exponents != per_litre && d.exponents != per_liter) {
        throw InputError(where + ": base units" + described(definition) +
                         " are not a concentration: expected mole^1 litre^-1");
    }
    const auto named = exact_concentration_unit(factor);
    std::string name = named ? named->name : number_text(factor) + " mol/L";
    return checked(factor, name, where);
}

Unit enzymeml_time_unit(const json& definition, const std::string& where) {
    if (definition.is_null()) throw InputError(where + ": missing: expected a time (second)");
    const Dimensions d = dimensions(definition, where);
    if (d.exponents != std::map<std::string, double>{{"second", 1}})
        throw InputError(where + ": base units" + described(definition) +
                         " are not a time: expected second^1");
    const auto named = exact_time_unit(d.factor);
    return checked(d.factor, named ? named->name : number_text(d.factor) + " s", where);
}

json unit_definition(const Unit& conc, const Unit& time, int time_exponent) {
    const double scale = std::round(std::log10(conc.factor));
    const bool decimal = std::fabs(std::pow(10.0, scale) / conc.factor - 1.0) < 1e-9;
    json units = json::array();
    units.push_back({{"kind", "mole"},
                     {"exponent", 1},
                     {"multiplier", decimal ? 1.0 : conc.factor},
                     {"scale", decimal ? scale : 0.0}});
    units.push_back({{"kind", "litre"}, {"exponent", -1}, {"multiplier", 1.0}, {"scale", 0.0}});
    std::string name = conc.name;
    if (time_exponent != 0) {
        units.push_back({{"kind", "second"},
                         {"exponent", time_exponent},
                         {"multiplier", time.factor},
                         {"scale", 0.0}});
        name += " / " + time.name;
    }
    return {{"id", name}, {"name", name}, {"base_units", units}};
}

}  // namespace formats
