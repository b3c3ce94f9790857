// A trap of the input or a doubt about a fit, as every companion reports it.
#pragma once

#include <string>
#include <utility>

// `kind` is one word a script can sort by; the list:
//   input files    missing_file, unreadable_line, long_line, keyword_line, const_line,
//                  plot_line, too_many_curves, too_many_points, more_warnings,
//                  checks_incomplete
//   curves         time_zero, off_grid, not_compared, not_positive, censored_tail,
//                  empty_curve, beyond_fit_program
//   the fit        km_clamped, km_outside_range, not_determined, interval_unbounded,
//                  interval_undefined, exact_fit, held_constant, residual_pattern
struct Warning {
    Warning(std::string file, int line, std::string kind, std::string message)
        : file(std::move(file)), line(line), kind(std::move(kind)), message(std::move(message)) {}

    std::string file;  // empty where no file is concerned
    int line;          // line of the file, counting every line from 1; 0 where none
    std::string kind;
    std::string message;
};
