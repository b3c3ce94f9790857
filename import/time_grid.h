// The output time unit and the 0.01 grid.
//
// velkor steps by 0.01 and rounds every interval between points to whole steps, so the
// importer writes every time rounded to the grid and reports the largest shift. A point that
// lands on the same grid time as the one before, or before 0.04 (inside the integrator's
// four start-up steps, which would cost velkor every later point of the curve), is left out.
//
// Without --time-unit, of s, min and h the unit is chosen that leaves out the fewest points,
// then shifts times least (in seconds; on the grid counts as no shift), then takes the fewest
// steps per evaluation.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/problem.h"

namespace velkor_import {

struct GridAssessment {
    formats::Unit unit;
    int lost = 0;                // points the grid would leave out
    double largest_shift = 0.0;  // in this unit
    std::string largest_shift_at;
    double steps = 0.0;
    bool feasible = true;  // no time beyond 1e8 units (1e10 steps)
};

GridAssessment assess_grid(const std::vector<ProblemCurve>& curves, const formats::Unit& unit);

// Sets problem.time, time_choice, steps and the largest shift; throws InputError when no
// candidate is feasible.
void choose_time_unit(Problem& problem, const std::optional<formats::Unit>& requested);

// Converts every time to problem.time, rounds it to the grid and leaves out what the grid
// cannot hold.
void put_on_grid(Problem& problem);

}  // namespace velkor_import
