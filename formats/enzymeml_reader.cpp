#include "formats/enzymeml_reader.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <set>

#include "formats/enzymeml_document.h"
#include "formats/enzymeml_units.h"

namespace formats {

namespace {

using nlohmann::json;

// A key's value, with null and absence alike.
const json* field(const json& object, const char* key) {
    if (!object.is_object()) return nullptr;
    const auto it = object.find(key);
    return it == object.end() || it->is_null() ? nullptr : &*it;
}

const json& list_at(const json& object, const char* key, const std::string& where) {
    static const json EMPTY = json::array();
    const json* value = field(object, key);
    if (!value) return EMPTY;
    if (!value->is_array()) throw InputError(where + "." + key + ": expected a list");
    return *value;
}

std::string text_at(const json& object, const char* key, const std::string& where) {
    const json* value = field(object, key);
    if (!value) return "";
    if (!value->is_string()) throw InputError(where + "." + key + ": expected a string");
    return *value;
}

bool simulated(const json& entry, const std::string& where) {
    const json* value = field(entry, "is_simulated");
    if (value && !value->is_boolean())
        throw InputError(where + ".is_simulated: expected true or false");
    return value && value->get<bool>();
}

bool has_course(const json& entry, const std::string& where) {
    return !list_at(entry, "data", where).empty() || !list_at(entry, "time", where).empty();
}

// Species with a measured (not simulated) time course anywhere in the document.
std::set<std::string> species_with_courses(const json& measurements, const std::string& where) {
    std::set<std::string> found;
    for (std::size_t i = 0; i < measurements.size(); ++i) {
        const std::string at = where + "[" + std::to_string(i) + "]";
        const json& entries = list_at(measurements[i], "species_data", at);
        for (std::size_t k = 0; k < entries.size(); ++k) {
            const std::string e = at + ".species_data[" + std::to_string(k) + "]";
            if (!simulated(entries[k], e) && has_course(entries[k], e))
                found.insert(text_at(entries[k], "species_id", e));
        }
    }
    return found;
}

std::string choose_species(const json& measurements, const std::string& where,
                           const std::string& requested, const std::string& source) {
    const std::set<std::string> found = species_with_courses(measurements, where);
    std::string list;
    for (const std::string& s : found)
        list += (list.empty() ? "" : ", ") + s;
    if (!requested.empty()) {
        if (!found.count(requested))
            throw InputError(source + ": species '" + requested +
                             "' has no time course; species with time courses: " +
                             (list.empty() ? "none" : list));
        return requested;
    }
    if (found.size() == 1) return *found.begin();
    if (found.empty()) throw InputError(source + ": no species has a time course");
    throw InputError(source + ": several species have time courses (" + list +
                     "): name the substrate with --species");
}

double finite_number(const json& value, const std::string& where) {
    if (!value.is_number() || !std::isfinite(value.get<double>()))
        throw InputError(where + ": expected a number");
    return value.get<double>();
}

SourceCurve read_course(const json& entry, const std::string& at, SourceCurve curve) {
    const json& data = list_at(entry, "data", at);
    const json& time = list_at(entry, "time", at);
    if (data.size() != time.size())
        throw InputError(at + ": " + std::to_string(time.size()) + " times but " +
                         std::to_string(data.size()) + " data values: expected as many of each");
    const std::string type = text_at(entry, "data_type", at);
    if (!type.empty() && type != "concentration")
        throw InputError(at + ".data_type: '" + type + "': only concentrations are imported");
    curve.conc = enzymeml_concentration_unit(entry.value("data_unit", json()), at + ".data_unit");
    curve.time = enzymeml_time_unit(entry.value("time_unit", json()), at + ".time_unit");
    if (const json* prepared = field(entry, "prepared")) {
        curve.nominal_s0 = finite_number(*prepared, at + ".prepared");
        curve.nominal_from = "prepared";
    }
    for (std::size_t k = 0; k < data.size(); ++k) {
        const std::string where = "sample " + std::to_string(k);
        if (time[k].is_null() || data[k].is_null()) {
            curve.left_out.push_back(
                {where, time[k].is_null() ? "no time (null)" : "no value (null)"});
            continue;
        }
        const double t = finite_number(time[k], at + ".time[" + std::to_string(k) + "]");
        const double v = finite_number(data[k], at + ".data[" + std::to_string(k) + "]");
        curve.points.push_back({t, v, static_cast<int>(k)});
    }
    return curve;
}

}  // namespace

Dataset read_enzymeml(const std::string& text, const std::string& source,
                      const std::string& species) {
    const json doc = parse_enzymeml(text, source);
    if (!doc.is_object())
        throw InputError(source + ": expected a JSON object (an EnzymeML document)");
    Dataset set{source, "enzymeml", "", {}, {}};
    const std::string version = text_at(doc, "version", source);
    set.notes.push_back("EnzymeML document" + (version.empty() ? "" : ", version " + version));
    const json& measurements = list_at(doc, "measurements", source);
    set.species_id = choose_species(measurements, source + ": measurements", species, source);
    for (std::size_t i = 0; i < measurements.size(); ++i) {
        const std::string at = source + ": measurements[" + std::to_string(i) + "]";
        const json& m = measurements[i];
        if (!m.is_object()) throw InputError(at + ": expected an object");
        const std::string id = text_at(m, "id", at);
        const std::string name = text_at(m, "name", at);
        const std::string label = id.empty() ? "measurements[" + std::to_string(i) + "]" : id;
        const json& entries = list_at(m, "species_data", at);
        int curves = 0;
        for (std::size_t k = 0; k < entries.size(); ++k) {
            const std::string e = at + ".species_data[" + std::to_string(k) + "]";
            if (text_at(entries[k], "species_id", e) != set.species_id) continue;
            if (simulated(entries[k], e)) {
                set.notes.push_back(label + ": simulated course of " + set.species_id +
                                    " not read");
                continue;
            }
            if (!has_course(entries[k], e)) continue;
            SourceCurve curve;
            curve.name = name.empty() ? label : name;
            curve.measurement_id = id;
            curve.species_id = set.species_id;
            curve.places = "sample";
            set.curves.push_back(read_course(entries[k], e, std::move(curve)));
            ++curves;
        }
        if (curves == 0)
            set.notes.push_back(label + ": no time course of " + set.species_id + ", no curve");
    }
    return set;
}

}  // namespace formats
