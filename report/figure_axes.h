// Axis ranges and tics the figure sets itself, where gnuplot's own choice would crowd a
// small panel or could not be made at all; and the plot command's layout.
#pragma once

#include <string>
#include <vector>

// A number as the script writes it.
std::string script_number(double value);

// One plot element per line, joined with gnuplot's line continuation.
std::string joined(const std::vector<std::string>& elements);

// The step of 1, 2 or 5 times a power of ten nearest to `step` (by ratio): tics a reader
// can add up.
double round_step(double step);

// "set yrange" and "set ytics" of a residual axis symmetric around zero that holds
// `largest` (the largest residual's size) with room to spare, about `tics_each_side` tics
// on either side of zero.
std::string residual_axis(double largest, double tics_each_side);

// "set yrange" and "set ytics" of a value axis from zero (or `low`, below it) to `high` with
// room above, and about `tics` round tics.
std::string value_axis(double low, double high, int tics);

// "set xrange" and "set xtics" of a linear time axis over low .. high with a little room on
// either side and about `tics` round tics.
std::string time_axis(double low, double high, int tics);

// "set logscale x", its range over low .. high (both above 0) with room on either side, and
// at most `most_tics` tics at round multiples of the powers of ten.
std::string log_time_axis(double low, double high, int most_tics);
