// A fit problem as velkor-import writes it: curves in the output units, point 0 at time 0,
// every time on the 0.01 grid, and a record of every decision a later step must undo.
#pragma once

#include <string>
#include <vector>

#include "formats/dataset.h"
#include "formats/units.h"

namespace velkor_import {

// velkor reads 16 curves of 256 points; the companions read what a plate holds.
constexpr std::size_t CURVES_VELKOR_READS = 16;
constexpr std::size_t POINTS_VELKOR_READS = 256;
constexpr std::size_t MAX_CURVES = 384;
constexpr std::size_t MAX_POINTS = 1024;
constexpr double STEP = 0.01;                // velkor's integration step, in time units
constexpr double STEPS_PER_UNIT = 100;       // n / 100 is the double nearest n steps
constexpr double MAX_CONCENTRATION = 1e100;  // in the output unit
constexpr double FIRST_GAP = 0.04;           // its start-up takes four steps at once

struct Point {
    double time;   // from point 0: in the source unit until put on the grid, then output units
    double value;  // output concentration unit
    int place;     // as formats::SourcePoint::place; -1 for a point 0 added
};

struct ProblemCurve {
    std::string label;  // name in the source
    std::string measurement_id, species_id, column;
    std::string file;    // the curve file's name
    std::string places;  // what Point::place counts: "line", "sample"
    formats::Unit source_conc, source_time;
    double s0 = 0.0;
    std::string s0_from;         // "prepared", "header", "--s0", "first point", ...
    double time_shift = 0.0;     // source times minus this are the times written (source unit)
    bool added_point_0 = false;  // point 0 is (0, S0), not a sample
    std::string origin;          // how the time origin was set, for the summary
    std::vector<Point> points;   // point 0 first
    std::vector<formats::LeftOut> left_out;
};

struct Problem {
    formats::Unit conc, time;
    std::vector<std::string> time_choice;  // how the time unit was chosen, one line each
    double steps = 0.0;                    // per evaluation: sum over curves of span / STEP
    double largest_shift = 0.0;            // onto the grid, in output time units
    std::string largest_shift_at;
    std::vector<ProblemCurve> curves;
    std::vector<std::string> curves_left_out;  // "name: reason"
};

}  // namespace velkor_import
