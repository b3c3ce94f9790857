// What a lab-file reader hands on: every curve as read, in the units of the file, with every
// point it could not read and why. Choosing S0, the time origin and the output units is the
// importer's work, so a reader never drops or moves a point silently.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/units.h"

namespace formats {

// Bad input: the message names the file, the line or field, and what was expected.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A plate holds 400,000 points: a point names its place by number, its curve says of what.
struct SourcePoint {
    double time;   // in the curve's time unit, as written
    double value;  // in the curve's concentration unit
    int place;     // the line of a table, the sample of a course
};

// "line 12", "sample 3"; "added" for a place below 0 (a point the importer adds).
inline std::string place_text(const std::string& places, int place) {
    return place < 0 ? "added" : places + " " + std::to_string(place);
}

struct LeftOut {
    std::string where;
    std::string reason;
};

struct SourceCurve {
    std::string name;            // measurement name or column header
    std::string measurement_id;  // EnzymeML only
    std::string species_id;      // EnzymeML only
    std::string column;          // tables only
    std::string places;          // "line" or "sample": what SourcePoint::place counts
    Unit conc;                   // unit of the values and of nominal_s0
    Unit time;                   // unit of the times
    std::optional<double> nominal_s0;
    std::string nominal_from;  // "prepared", "header '2.5 uM'", "--s0"
    std::vector<SourcePoint> points;
    std::vector<LeftOut> left_out;
};

struct Dataset {
    std::string source;  // the file as named on the command line
    std::string kind;    // "enzymeml" or "table"
    std::string species_id;
    std::vector<SourceCurve> curves;
    std::vector<std::string> notes;  // what the reader decided: encoding, layout, columns
};

}  // namespace formats
