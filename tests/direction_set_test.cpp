#include "minimiser/direction_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "minimiser/line_search.h"
#include "tests/support/trace_file.h"

namespace {

const double nan_value = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------------------------------
// converged

struct ConvergedCase {
    const char* name;
    double f_old, f_new;
    double x_old[2], x_new[2];
    int expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ConvergedCase& c, std::ostream* os) {
    *os << c.name;
}

class Converged : public ::testing::TestWithParam<ConvergedCase> {};

TEST_P(Converged, ChangeWithinEps) {
    const ConvergedCase& c = GetParam();
    EXPECT_EQ(converged(2, c.f_old, c.f_new, c.x_old, c.x_new, 1e-6), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Converged,
    ::testing::Values(
        ConvergedCase{"unchanged", 3, 3, {1, 2}, {1, 2}, 1},
        // |f_old| <= eps: absolute change of the value.
        ConvergedCase{"small_value_absolute_within", 0, 1e-6, {1, 2}, {1, 2}, 1},
        ConvergedCase{"small_value_absolute_beyond", 0, 2e-6, {1, 2}, {1, 2}, 0},
        // 1e-6 -> 1.5e-6 is within eps absolutely, but 50% relatively.
        ConvergedCase{"value_at_eps_is_absolute", 1e-6, 1.5e-6, {1, 2}, {1, 2}, 1},
        // 1000 -> 1000.0005 is 5e-7 relative, 5e-4 absolute.
        ConvergedCase{"large_value_relative_within", 1000, 1000.0005, {1, 2}, {1, 2}, 1},
        ConvergedCase{"large_value_relative_beyond", 1000, 1000.002, {1, 2}, {1, 2}, 0},
        ConvergedCase{"negative_value_relative", -1000, -1000.0005, {1, 2}, {1, 2}, 1},
        // The old values are the reference: 1e-6 relative to 1e-6 is not 1e-6 relative to 2e-6.
        ConvergedCase{"reference_is_old_value", 2e-6, 1e-6, {1, 2}, {1, 2}, 0},
        ConvergedCase{"coordinate_relative_within", 3, 3, {1000, 2}, {1000.0005, 2}, 1},
        ConvergedCase{"second_coordinate_beyond", 3, 3, {1, 2}, {1, 2.00001}, 0},
        ConvergedCase{"small_coordinate_absolute", 3, 3, {0, 1e-7}, {1e-6, 1.05e-6}, 1},
        ConvergedCase{"small_coordinate_absolute_beyond", 3, 3, {0, 2}, {2e-6, 2}, 0},
        // Not a number makes every comparison false: counted as within eps.
        ConvergedCase{"nan_new_value", 1, nan_value, {1, 2}, {1, 2}, 1},
        ConvergedCase{"nan_old_value", nan_value, 1, {1, 2}, {1, 2}, 1},
        ConvergedCase{"nan_coordinate", 1, 1, {1, 2}, {nan_value, 2}, 1},
        ConvergedCase{"nan_does_not_hide_a_later_change", 1, 1, {1, 2}, {nan_value, 3}, 0}),
    [](const ::testing::TestParamInfo<ConvergedCase>& info) {
        return std::string(info.param.name);
    });

// ---------------------------------------------------------------------------------------
// Observing a run: the objective records where it was called, what the caller's x and *value
// were at that moment, and how much trace had been written.

enum class Where { Caller, Trial, Extrapolated };

struct Call {
    Where where;
    std::vector<double> point;
    std::vector<double> x;  // the caller's x at the time
    double value;           // the caller's *value at the time
    long trace_size;
    double result;
};

int n_vars = 1;
double x_run[MAX_VARIABLES];
double value_run;
FILE* trace_run = nullptr;
std::vector<Call> calls;
bool nan_at_extrapolation = false;

double observe(const double* p, double result) {
    Call c;
    c.where = p == trial_point          ? Where::Trial
              : p == extrapolated_point ? Where::Extrapolated
                                        : Where::Caller;
    c.point.assign(p, p + n_vars);
    c.x.assign(x_run, x_run + n_vars);
    c.value = value_run;
    c.trace_size = trace_run != nullptr ? ftell(trace_run) : 0;
    if (c.where == Where::Extrapolated && nan_at_extrapolation) result = nan_value;
    c.result = result;
    calls.push_back(c);
    return result;
}

using testing_support::read_all;

struct RunOutcome {
    int result;
    std::string trace;
};

RunOutcome run(std::vector<double> start, ObjectiveFunction f) {
    n_vars = static_cast<int>(start.size());
    std::copy(start.begin(), start.end(), x_run);
    value_run = -12345;
    calls.clear();
    trace_run = tmpfile();
    EXPECT_NE(trace_run, nullptr);
    RunOutcome r;
    r.result = direction_set_minimize(n_vars, x_run, &value_run, f, trace_run);
    r.trace = read_all(trace_run);
    fclose(trace_run);
    trace_run = nullptr;
    return r;
}

std::vector<const Call*> calls_at(Where where) {
    std::vector<const Call*> out;
    for (const Call& c : calls) {
        if (c.where == where) out.push_back(&c);
    }
    return out;
}

// The line search's first step: a quarter of the smallest non-zero coordinate, at most 0.25.
double line_search_step(const std::vector<double>& x) {
    double h = 1;
    for (double v : x) {
        if (v != 0 && std::fabs(v) < h) h = std::fabs(v);
    }
    return 0.25 * h;
}

std::vector<double> sums_of_squares(const std::string& trace) {
    std::vector<double> sums;
    const std::string key = "sum of squares:";
    for (size_t at = trace.find(key); at != std::string::npos; at = trace.find(key, at + 1)) {
        sums.push_back(std::stod(trace.substr(at + key.size())));
    }
    return sums;
}

// ---------------------------------------------------------------------------------------
// Objectives

double constant_seven(const double* p) {
    return observe(p, 7);
}

double only_first_variable(const double* p) {
    return observe(p, (p[0] - 1) * (p[0] - 1));
}

double bowl_at_one(const double* p) {
    return observe(p, (p[0] - 1) * (p[0] - 1) + 1);
}

double bowl_at_zero(const double* p) {
    return observe(p, p[0] * p[0] + 1);
}

// Minimum 1 at 1, four times steeper on the right.
double lopsided_at_one(const double* p) {
    const double y = p[0] - 1;
    return observe(p, y < 0 ? 1 + y * y : 1 + 4 * y * y);
}

// Minimum 0 at -1, four times flatter on the left, so that the extrapolation goes downhill.
double flat_left_of_minus_one(const double* p) {
    const double y = p[0] + 1;
    return observe(p, y > 0 ? y * y : 0.25 * y * y);
}

// Separable: 4(y1-1)^2 plus a term in y0 that is four times flatter right of 1.
double separable_lopsided(const double* p) {
    const double y = p[0] - 1, z = p[1] - 1;
    return observe(p, (y < 0 ? y * y : 0.25 * y * y) + 4 * z * z);
}

double coupled_2(const double* p) {
    return observe(p, (p[0] - 1) * (p[0] - 1) + (p[1] - p[0]) * (p[1] - p[0]));
}

double steep_coupled_2(const double* p) {
    return observe(p, 7 * (p[0] - 1) * (p[0] - 1) + (p[1] - p[0]) * (p[1] - p[0]));
}

double shifted_1(const double* p) {
    return observe(p, (p[0] - 2) * (p[0] - 2) + 0.5);
}

double coupled_3(const double* p) {
    const double a = p[0] - 1, b = p[1] + 0.5, c = p[2] - p[0];
    return observe(p, a * a + 2 * b * b + 3 * c * c);
}

double valley_2(const double* p) {
    const double a = 1 - p[0], b = p[1] - p[0] * p[0];
    return observe(p, a * a + 10 * b * b);
}

double valley_3(const double* p) {
    const double a = 1 - p[0], b = p[1] - p[0] * p[0], c = p[2] - p[1] * p[1];
    return observe(p, a * a + 5 * b * b + 5 * c * c);
}

// ---------------------------------------------------------------------------------------
// Early return on a flat first cycle

// Flat along the first direction: one line search (trials at x + 0.25*0.1 and half of it),
// then return 1 with nothing but the initial block in the trace.
TEST(DirectionSet, FlatAtStartReturnsOneAtOnce) {
    const RunOutcome r = run({1, 2}, constant_seven);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(x_run[0], 1);
    EXPECT_EQ(x_run[1], 2);
    EXPECT_EQ(value_run, 7);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].where, Where::Caller);
    EXPECT_EQ(calls[0].point, (std::vector<double>{1, 2}));
    EXPECT_EQ(calls[1].where, Where::Trial);
    EXPECT_DOUBLE_EQ(calls[1].point[0], 1.025);
    EXPECT_EQ(calls[1].point[1], 2);
    EXPECT_DOUBLE_EQ(calls[2].point[0], 1.0125);
    EXPECT_EQ(calls[2].point[1], 2);
    EXPECT_EQ(r.trace,
              "\nInitial approximation:\n\n"
              "x01 =   1.0000e+00\n"
              "x02 =   2.0000e+00\n"
              "\nsum of squares:  7.0000e+00\n");
}

// The first direction finds the minimum in x0; the second is flat: return 2, no extrapolation.
TEST(DirectionSet, FlatSecondDirectionReturnsTwo) {
    const RunOutcome r = run({0, 0}, only_first_variable);
    EXPECT_EQ(r.result, 2);
    EXPECT_NEAR(x_run[0], 1, 1e-9);
    EXPECT_EQ(x_run[1], 0);
    EXPECT_EQ(value_run, (x_run[0] - 1) * (x_run[0] - 1));
    EXPECT_TRUE(calls_at(Where::Extrapolated).empty());
    EXPECT_EQ(r.trace.find("Iteration"), std::string::npos);
}

// ---------------------------------------------------------------------------------------
// Short runs followed by hand

// y^2 + 1 from 0: the line search tries +-0.025 (uphill both ways) and the vertex 0, stays;
// the extrapolation 2*0 - 0 is evaluated; no change at all, so the first cycle converges and
// the trace holds the initial block only.
TEST(DirectionSet, RunConvergingInFirstCycle) {
    const RunOutcome r = run({0}, bowl_at_zero);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(x_run[0], 0);
    EXPECT_EQ(value_run, 1);
    ASSERT_EQ(calls.size(), 5u);
    const Where expected[5] = {Where::Caller, Where::Trial, Where::Trial, Where::Trial,
                               Where::Extrapolated};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(calls[i].where, expected[i]) << "call " << i;
    EXPECT_DOUBLE_EQ(calls[1].point[0], 0.025);
    EXPECT_DOUBLE_EQ(calls[2].point[0], -0.025);
    EXPECT_EQ(calls[3].point[0], 0);
    EXPECT_EQ(calls[4].point[0], 0);
    EXPECT_EQ(r.trace,
              "\nInitial approximation:\n\n"
              "x01 =   0.0000e+00\n"
              "\nsum of squares:  1.0000e+00\n");
}

// (y-1)^2 + 1 from 0 (value 2): cycle 1 steps along 0.1 up to 1 (value 1), not converged, so
// the block "Iteration 1" follows; cycle 2 finds nothing better and converges: no block for it.
TEST(DirectionSet, TraceOfShortRun) {
    const RunOutcome r = run({0}, bowl_at_one);
    EXPECT_EQ(r.result, 0);
    EXPECT_NEAR(x_run[0], 1, 1e-9);
    EXPECT_NEAR(value_run, 1, 1e-15);
    EXPECT_EQ(r.trace,
              "\nInitial approximation:\n\n"
              "x01 =   0.0000e+00\n"
              "\nsum of squares:  2.0000e+00\n"
              "\nIteration 1\n\n"
              "x01 =   1.0000e+00\n"
              "\nsum of squares:  1.0000e+00\n");
}

// (y-1)^2 + 1 from 0.999: cycle 1 lowers the value by D = 1e-6 (not converged: x moved by
// 1e-3), so b = 0.4*sqrt(D) = 4e-4; cycle 2 tries x + 0.25*4e-4 and half of it, where the value
// changes by about 1e-8: flat. That result 0 is ignored after the first cycle; nothing moved,
// the extrapolation is x itself, and the run converges.
TEST(DirectionSet, FlatDirectionInLaterCycleIsIgnored) {
    const RunOutcome r = run({0.999}, bowl_at_one);
    EXPECT_EQ(r.result, 0);
    EXPECT_NEAR(x_run[0], 1, 1e-9);
    ASSERT_GE(calls.size(), 3u);
    const Call& probe = calls[calls.size() - 3];
    const Call& half = calls[calls.size() - 2];
    const Call& last = calls.back();
    EXPECT_EQ(probe.where, Where::Trial);
    EXPECT_NEAR(probe.point[0] - probe.x[0], 1e-4, 1e-9);
    EXPECT_NEAR(half.point[0] - half.x[0], 5e-5, 1e-9);
    EXPECT_EQ(last.where, Where::Extrapolated);
    EXPECT_EQ(last.point[0], x_run[0]);
    EXPECT_EQ(sums_of_squares(r.trace).size(), 2u);  // the initial block and "Iteration 1"
}

// ---------------------------------------------------------------------------------------
// Step length, extrapolation and direction replacement

// The first trial of the cycle after the extrapolation call is at x + h*b*d: recover b*d.
double next_step(size_t extrapolation_call) {
    const Call& first = calls[extrapolation_call + 1];
    EXPECT_EQ(first.where, Where::Trial);
    return (first.point[0] - first.x[0]) / line_search_step(first.x);
}

size_t first_extrapolation() {
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].where == Where::Extrapolated) return i;
    }
    ADD_FAILURE() << "no extrapolation";
    return 0;
}

// From 0 (value 2) the first cycle lowers the value by about 1: 0.4*sqrt(1) is capped at 0.1.
TEST(DirectionSet, StepLengthIsCapped) {
    run({0}, lopsided_at_one);
    const size_t e = first_extrapolation();
    const Call& ext = calls[e];
    EXPECT_EQ(ext.point[0], 2 * ext.x[0] - 0);  // 2x - x0
    ASSERT_GT(ext.result, calls[0].result);     // uphill: no replacement in between
    EXPECT_GT(calls[e + 1].trace_size, ext.trace_size);
    EXPECT_NEAR(calls[0].result - ext.value, 1, 0.01);
    EXPECT_NEAR(next_step(e), 0.1, 1e-9);
}

// From 0.9 (value 1.01) the first cycle lowers the value by about D = 0.01: b = 0.4*sqrt(D),
// about 0.04.
TEST(DirectionSet, StepLengthFollowsDecrease) {
    run({0.9}, lopsided_at_one);
    const size_t e = first_extrapolation();
    const Call& ext = calls[e];
    EXPECT_EQ(ext.point[0], 2 * ext.x[0] - 0.9);
    ASSERT_GT(ext.result, calls[0].result);
    const double decrease = calls[0].result - ext.value;
    EXPECT_NEAR(decrease, 0.01, 5e-4);  // the line search stops within 1% of the minimum value
    EXPECT_NEAR(next_step(e), 0.4 * std::sqrt(decrease), 1e-9);
    EXPECT_NEAR(next_step(e), 0.04, 1e-3);
}

// With one variable T = 0, so a cycle whose extrapolation goes downhill replaces the direction
// by the sign of the displacement: from 0 towards -1 the extra line search steps along -0.1.
TEST(DirectionSet, SingleDirectionReplacedBySignOfDisplacement) {
    run({0}, flat_left_of_minus_one);
    const size_t e = first_extrapolation();
    ASSERT_LT(calls[e].result, calls[0].result);
    EXPECT_NEAR(calls[e].x[0], -1, 0.1);
    EXPECT_NEAR(next_step(e), -0.1, 1e-9);
}

// (y0-1)^2 + (y1-y0)^2 from (0,0): direction 0 lowers 1 -> 0.5, direction 1 0.5 -> 0.25, the
// extrapolation (1,1) has value 0 and T = 2*0.5*(0.25/1)^2 = 0.0625 < 0.5: direction 0 is
// dropped, e1 moves to column 0 and (1,1)/sqrt(2) becomes column 1. The extra line search
// steps along 0.1*(1,1)/sqrt(2), and the next cycle starts along e1.
TEST(DirectionSet, ReplacementDropsLargestDecreaseAndAppendsDisplacement) {
    run({0, 0}, coupled_2);
    const size_t e = first_extrapolation();
    EXPECT_NEAR(calls[e].x[0], 0.5, 1e-9);
    EXPECT_NEAR(calls[e].x[1], 0.5, 1e-9);
    EXPECT_NEAR(calls[e].result, 0, 1e-15);

    const Call& extra = calls[e + 1];
    ASSERT_EQ(extra.where, Where::Trial);
    const double h = line_search_step(extra.x);
    EXPECT_NEAR((extra.point[0] - extra.x[0]) / h, 0.1 / std::sqrt(2.0), 1e-9);
    EXPECT_NEAR((extra.point[1] - extra.x[1]) / h, 0.1 / std::sqrt(2.0), 1e-9);

    // The first evaluation after the "Iteration 1" block opens cycle 2.
    size_t i = e + 1;
    while (i < calls.size() && calls[i].trace_size == calls[e].trace_size)
        ++i;
    ASSERT_LT(i, calls.size());
    const Call& cycle2 = calls[i];
    EXPECT_EQ(cycle2.point[0], cycle2.x[0]);
    EXPECT_NEAR((cycle2.point[1] - cycle2.x[1]) / line_search_step(cycle2.x), 0.1, 1e-9);
}

// 7(y0-1)^2 + (y1-y0)^2 from (0,0): direction 0 lowers 7 -> 7/8 (at y0 = 7/8), direction 1
// 7/8 -> 7/64, and the extrapolation (7/4,7/4) has value 63/16, 49/16 below the start. Then
// q = (7 - 7/64 - 49/8)/(-49/16) = -1/4 and T = 2*(7 - 7/32 + 63/16)*(1/16) = 343/256, below
// the largest decrease 49/8: the direction is replaced, and the extra line search steps along
// 0.1*(1,1)/sqrt(2) before the "Iteration 1" block. The extrapolated drop is not 1, so only the
// quotient, not its numerator or the drop on their own, keeps T this small.
TEST(DirectionSet, ReplacementWeighsTheOtherDecreasesAgainstTheExtrapolatedOne) {
    run({0, 0}, steep_coupled_2);
    const size_t e = first_extrapolation();
    EXPECT_NEAR(calls[e].x[0], 0.875, 1e-9);
    EXPECT_NEAR(calls[e].x[1], 0.875, 1e-9);
    EXPECT_NEAR(calls[e].value, 7.0 / 64, 1e-9);
    EXPECT_NEAR(calls[e].result, 63.0 / 16, 1e-9);

    const Call& extra = calls[e + 1];
    ASSERT_EQ(extra.where, Where::Trial);
    EXPECT_EQ(extra.trace_size, calls[e].trace_size);
    const double h = line_search_step(extra.x);
    EXPECT_NEAR((extra.point[0] - extra.x[0]) / h, 0.1 / std::sqrt(2.0), 1e-9);
    EXPECT_NEAR((extra.point[1] - extra.x[1]) / h, 0.1 / std::sqrt(2.0), 1e-9);
}

// From (0,0) (value 5): direction 0 lowers by about 1, direction 1 by 4 (the largest), the
// extrapolation near (2,2) is downhill (4.25 or a little more), but T = 2*(5 + fE)*(1/(5 - fE))^2,
// over 30, is not below 4: no replacement, the next evaluation follows the "Iteration 1" block,
// along e0 again.
TEST(DirectionSet, PowellTestRefusesReplacement) {
    run({0, 0}, separable_lopsided);
    const size_t e = first_extrapolation();
    ASSERT_LT(calls[e].result, calls[0].result);
    EXPECT_GT(calls[e].result, 4.2);
    const Call& next = calls[e + 1];
    EXPECT_GT(next.trace_size, calls[e].trace_size);
    EXPECT_EQ(next.point[1], next.x[1]);
    EXPECT_NEAR(next_step(e), 0.1, 1e-9);
}

// A cycle in which nothing decreased and whose extrapolated value is not a number reaches the
// replacement without a direction to drop: the direction set stays, no extra line search.
TEST(DirectionSet, ReplacementWithoutDecreaseIsSkipped) {
    nan_at_extrapolation = true;
    const RunOutcome r = run({0}, bowl_at_zero);
    nan_at_extrapolation = false;
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(x_run[0], 0);
    EXPECT_EQ(value_run, 1);
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[4].where, Where::Extrapolated);
    EXPECT_EQ(direction_matrix[0][0], 1);
}

// After a cycle that lowered the value, an extrapolated value that is not a number leads to a
// replacement: the extra line search (along +0.1) comes before the "Iteration 1" block.
TEST(DirectionSet, NanExtrapolationReplacesDirection) {
    nan_at_extrapolation = true;
    const RunOutcome r = run({0}, bowl_at_one);
    nan_at_extrapolation = false;
    EXPECT_EQ(r.result, 0);
    EXPECT_NEAR(x_run[0], 1, 1e-9);
    const size_t e = first_extrapolation();
    ASSERT_LT(e + 1, calls.size());
    EXPECT_EQ(calls[e + 1].trace_size, calls[e].trace_size);
    EXPECT_NEAR(next_step(e), 0.1, 1e-9);
}

// ---------------------------------------------------------------------------------------
// Minima of smooth functions

struct MinimumCase {
    const char* name;
    ObjectiveFunction f;
    std::vector<double> start;
    std::vector<double> minimum;
    double minimum_value;
    double x_tolerance;
};

void PrintTo(const MinimumCase& c, std::ostream* os) {
    *os << c.name;
}

class Minimum : public ::testing::TestWithParam<MinimumCase> {};

TEST_P(Minimum, FoundWithValueNeverRising) {
    const MinimumCase& c = GetParam();
    const RunOutcome r = run(c.start, c.f);
    EXPECT_EQ(r.result, 0);
    for (size_t i = 0; i < c.minimum.size(); ++i) {
        EXPECT_NEAR(x_run[i], c.minimum[i], c.x_tolerance) << "x" << i;
    }
    EXPECT_NEAR(value_run, c.minimum_value, 1e-6);

    // *value as seen at every evaluation after the first, and at the end.
    double previous = calls.at(1).value;
    for (size_t i = 2; i < calls.size(); ++i) {
        EXPECT_LE(calls[i].value, previous) << "evaluation " << i;
        previous = calls[i].value;
    }
    EXPECT_LE(value_run, previous);

    const std::vector<double> sums = sums_of_squares(r.trace);
    ASSERT_FALSE(sums.empty());
    for (size_t i = 1; i < sums.size(); ++i)
        EXPECT_LE(sums[i], sums[i - 1]) << "block " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Functions, Minimum,
    ::testing::Values(MinimumCase{"quadratic_1", shifted_1, {0}, {2}, 0.5, 1e-6},
                      MinimumCase{"quadratic_2", coupled_2, {0, 0}, {1, 1}, 0, 1e-4},
                      MinimumCase{"quadratic_3", coupled_3, {0, 0, 0}, {1, -0.5, 1}, 0, 1e-4},
                      MinimumCase{"valley_2", valley_2, {-1.2, 1}, {1, 1}, 0, 1e-3},
                      MinimumCase{"valley_3", valley_3, {0.5, 0.5, 0.5}, {1, 1, 1}, 0, 1e-3}),
    [](const ::testing::TestParamInfo<MinimumCase>& info) { return std::string(info.param.name); });

}  // namespace
