#include "formats/enzymeml_writer.h"

#include <algorithm>

#include "formats/dataset.h"

namespace formats {

namespace {

using nlohmann::json;

// The list under `key`, made when absent or null.
json& list(json& object, const char* key) {
    json& value = object[key];
    if (!value.is_array()) value = json::array();
    return value;
}

bool is_true(const json& entry, const char* key) {
    return entry.is_object() && entry.contains(key) && entry[key].is_boolean() &&
           entry[key].get<bool>();
}

bool of_species(const json& entry, const std::string& species) {
    return entry.is_object() && entry.contains("species_id") && entry["species_id"] == species;
}

json parameter(const FittedConstant& c) {
    json p = {
        {"id", c.id}, {"name", c.name}, {"symbol", c.id}, {"value", c.value}, {"constant", true}};
    if (c.unit) p["unit"] = *c.unit;
    if (c.initial_value) p["initial_value"] = *c.initial_value;
    if (c.lower_bound) p["lower_bound"] = *c.lower_bound;
    if (c.upper_bound) p["upper_bound"] = *c.upper_bound;
    if (c.standard_error) p["stderr"] = *c.standard_error;
    return p;
}

json equation(const FitForDocument& fit) {
    json variables = json::array();
    for (const FittedConstant& c : fit.constants)
        variables.push_back({{"id", c.id}, {"name", c.name}, {"symbol", c.id}});
    variables.push_back(
        {{"id", fit.species_id}, {"name", fit.species_id}, {"symbol", fit.species_id}});
    return {{"species_id", fit.species_id},
            {"equation", fit.equation},
            {"equation_type", "ode"},
            {"variables", variables}};
}

void add_course(json& measurements, const SimulatedCourse& course, const std::string& species) {
    const auto m = std::find_if(measurements.begin(), measurements.end(), [&](const json& x) {
        return x.is_object() && x.contains("id") && x["id"] == course.measurement_id;
    });
    if (m == measurements.end())
        throw InputError("no measurement '" + course.measurement_id + "' in the document");
    json& entries = list(*m, "species_data");
    const auto measured = std::find_if(entries.begin(), entries.end(), [&](const json& e) {
        return of_species(e, species) && !is_true(e, "is_simulated");
    });
    if (measured == entries.end())
        throw InputError("measurement '" + course.measurement_id + "' has no entry for '" +
                         species + "'");
    json simulated = {{"species_id", species},
                      {"data_unit", measured->value("data_unit", json())},
                      {"time_unit", measured->value("time_unit", json())},
                      {"data_type", "concentration"},
                      {"is_simulated", true},
                      {"time", course.time},
                      {"data", course.data}};
    if (measured->contains("prepared")) simulated["prepared"] = (*measured)["prepared"];
    if (!course.data.empty()) simulated["initial"] = course.data.front();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const json& e) {
                                     return of_species(e, species) && is_true(e, "is_simulated");
                                 }),
                  entries.end());
    entries.push_back(std::move(simulated));
}

}  // namespace

json write_enzymeml(const json& source, const FitForDocument& fit) {
    if (!source.is_object()) throw InputError("the document is not a JSON object");
    json doc = source;
    json& equations = list(doc, "equations");
    equations.erase(std::remove_if(equations.begin(), equations.end(),
                                   [&](const json& e) {
                                       return of_species(e, fit.species_id) &&
                                              e.contains("equation_type") &&
                                              e["equation_type"] == "ode";
                                   }),
                    equations.end());
    equations.push_back(equation(fit));
    json& parameters = list(doc, "parameters");
    for (const FittedConstant& c : fit.constants) {
        parameters.erase(std::remove_if(parameters.begin(), parameters.end(),
                                        [&](const json& p) {
                                            return p.is_object() && p.contains("id") &&
                                                   p["id"] == c.id;
                                        }),
                         parameters.end());
        parameters.push_back(parameter(c));
    }
    json& measurements = list(doc, "measurements");
    for (const SimulatedCourse& course : fit.courses)
        add_course(measurements, course, fit.species_id);
    return doc;
}

}  // namespace formats
