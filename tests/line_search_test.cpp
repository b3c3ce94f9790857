#include "minimiser/line_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/trace_file.h"

namespace {

// Every point the objective was asked for, in order.
std::vector<std::vector<double>> evaluated;
int variables = 1;

void record(const double* p) {
    evaluated.emplace_back(p, p + variables);
}

std::vector<double> first_coordinates() {
    std::vector<double> out;
    for (const auto& p : evaluated)
        out.push_back(p[0]);
    return out;
}

double parabola_at_3(const double* p) {
    record(p);
    return (p[0] - 3) * (p[0] - 3);
}

double parabola_at_3_below_zero(const double* p) {
    record(p);
    return (p[0] - 3) * (p[0] - 3) - 10;
}

// (y-3)^2, but level with the value at 3.03125 between 3.5 and 3.7.
double parabola_with_shelf(const double* p) {
    record(p);
    if (p[0] > 3.5 && p[0] < 3.7) return 1.0 / 1024;
    return (p[0] - 3) * (p[0] - 3);
}

// Level at 0 between 0.25 and 0.375.
double flat_bottom(const double* p) {
    record(p);
    if (p[0] < 0.25) return (p[0] - 0.25) * (p[0] - 0.25);
    if (p[0] > 0.375) return (p[0] - 0.375) * (p[0] - 0.375);
    return 0;
}

double constant(const double* p) {
    record(p);
    return 5;
}

// Falls until 0.5, level from there on.
double ramp_then_level(const double* p) {
    record(p);
    return p[0] <= 0.5 ? 2 - p[0] : 1.5;
}

// Level at the first step (a bump), falling at half of it.
double bump_then_level(const double* p) {
    record(p);
    if (p[0] >= 0.2 && p[0] < 0.3) return 1;
    return 1 - std::fmin(p[0], 0.125);
}

double parabola_at_sixteenth(const double* p) {
    record(p);
    return (p[0] - 0.0625) * (p[0] - 0.0625);
}

double parabola_at_quarter(const double* p) {
    record(p);
    return (p[0] - 0.25) * (p[0] - 0.25);
}

// (y*2^600 - 1.25)^2: the abscissae are so small that their squares underflow.
double tiny_scale_parabola(const double* p) {
    record(p);
    const double u = std::ldexp(p[0], 600) - 1.25;
    return u * u;
}

// (y*2^602 - 7.25)^2: on steps of 2^-602 every product of two abscissa differences underflows.
double tiny_step_parabola(const double* p) {
    record(p);
    const double u = std::ldexp(p[0], 602) - 7.25;
    return u * u;
}

// Values a few multiples of the smallest subnormal, so that the bracket's curvature rounds to 0.
double subnormal_valley(const double* p) {
    record(p);
    const double m = std::numeric_limits<double>::denorm_min();
    if (p[0] == 0) return 2 * m;
    if (p[0] == 0.25) return m;
    if (p[0] == 0.625) return 2 * m;
    if (p[0] == 0.4375) return 0;
    return 3 * m;
}

// Minimum at 0, three times steeper on the left: the vertices approach 0 from the right.
double lopsided_at_zero(const double* p) {
    record(p);
    const double y = p[0];
    return y >= 0 ? 1 + 2 * y * y : 1 + 6 * y * y;
}

double nan_on_right(const double* p) {
    record(p);
    if (p[0] > 0) return std::numeric_limits<double>::quiet_NaN();
    return (p[0] + 0.25) * (p[0] + 0.25);
}

double nan_beyond_half(const double* p) {
    record(p);
    if (p[0] > 0.5) return std::numeric_limits<double>::quiet_NaN();
    return (p[0] - 0.25) * (p[0] - 0.25);
}

struct PathCase {
    const char* name;
    ObjectiveFunction f;
    double x;
    double value;  // at x
    int result;
    double x_after;
    double value_after;
    std::vector<double> abscissae;  // evaluated points, in order
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.name;
}

class LineSearchPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(LineSearchPath, ResultPointAndEvaluations) {
    const PathCase& c = GetParam();
    evaluated.clear();
    variables = 1;
    double x[1] = {c.x};
    const double d[1] = {1.0};
    double value = c.value;
    const int result = line_search(1, x, d, &value, c.f, nullptr);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(x[0], c.x_after);
    EXPECT_EQ(value, c.value_after);
    EXPECT_EQ(first_coordinates(), c.abscissae);
}

const double tiny = std::ldexp(1.0, -600);
const double m = std::numeric_limits<double>::denorm_min();

INSTANTIATE_TEST_SUITE_P(
    Paths, LineSearchPath,
    ::testing::Values(
        // Steps h = 0.25 growing by 1.5t + h: 1.25, 1.625, 2.1875, 3.03125, then 4.296875 is
        // uphill; the midpoint of 3.03125 and 4.296875 comes first, then the vertex 3 twice
        // (the first vertex is not within 1% of the best value 2^-10).
        PathCase{"long_downhill_run_then_midpoint",
                 parabola_at_3,
                 1,
                 4,
                 1,
                 3,
                 0,
                 {1.25, 1.625, 2.1875, 3.03125, 4.296875, 3.6640625, 3, 3}},
        // The midpoint 3.6640625 has b's value: b is taken without interpolating.
        PathCase{"trial_level_with_b",
                 parabola_with_shelf,
                 1,
                 4,
                 1,
                 3.03125,
                 1.0 / 1024,
                 {1.25, 1.625, 2.1875, 3.03125, 4.296875, 3.6640625}},
        // Same path below zero: a negative best value takes the first vertex as converged,
        // and the vertex itself, lower than b, is the result.
        PathCase{"vertex_lower_than_b_is_the_result",
                 parabola_at_3_below_zero,
                 1,
                 -6,
                 1,
                 3,
                 -10,
                 {1.25, 1.625, 2.1875, 3.03125, 4.296875, 3.6640625, 3}},
        // Flat at h and at h/2: result 0, nothing moves.
        PathCase{"flat_at_the_start", constant, 1, 5, 0, 1, 5, {1.25, 1.125}},
        // Downhill to 0.625, then flat at 1.1875 and at its half 0.59375: the best point is kept.
        PathCase{"flat_after_downhill_steps",
                 ramp_then_level,
                 0,
                 2,
                 0,
                 0.625,
                 1.5,
                 {0.25, 0.625, 1.1875, 0.59375}},
        // Flat at 0.25, downhill at its half; the next step uses the halved h (1.5*0.125 +
        // 0.125), is flat again, and so is its half.
        PathCase{"halving_once_per_step",
                 bump_then_level,
                 0,
                 1,
                 0,
                 0.125,
                 0.875,
                 {0.25, 0.125, 0.3125, 0.15625}},
        // Uphill at 0.25 and at -0.25: bracket (0.25, 0, -0.25), vertex 1/16 at once.
        PathCase{"uphill_on_both_sides",
                 parabola_at_sixteenth,
                 0,
                 1.0 / 256,
                 1,
                 0.0625,
                 0,
                 {0.25, -0.25, 0.0625, 0.0625}},
        // Downhill at 0.25, uphill at 2.5*0.25: bracket (0, 0.25, 0.625), vertex 0.25.
        PathCase{"downhill_then_uphill",
                 parabola_at_quarter,
                 0,
                 1.0 / 16,
                 1,
                 0.25,
                 0,
                 {0.25, 0.625, 0.25}},
        // Bracket (0, 0.25, 0.625) with values 1/16, 0, 1/16: the vertex 0.3125 is level with
        // b, converged, and b (not the vertex) is the result.
        PathCase{"converged_vertex_level_with_b",
                 flat_bottom,
                 0,
                 1.0 / 16,
                 1,
                 0.25,
                 0,
                 {0.25, 0.625, 0.3125}},
        // The bracket (0, h, 2.5h) with h = 2^-602: every square underflows, the vertex is 0,
        // which is not strictly inside, so b is taken without evaluating the vertex.
        PathCase{"vertex_not_inside_the_bracket",
                 tiny_scale_parabola,
                 tiny,
                 1.0 / 16,
                 1,
                 1.25 * tiny,
                 0,
                 {1.25 * tiny, 1.625 * tiny}},
        // From 4h, h = 2^-602: the steps h, 2.5h, 4.75h reach 5h, 6.5h, 8.75h with 5.0625,
        // 0.5625, 2.25 (down, down, up), so the bracket is (h, 2.5h, 4.75h) and its midpoint
        // 3.625h (the point 7.625h, value 0.140625) is lower than b. (a - t)(t - b) =
        // -2.953125h^2 lies far below the smallest subnormal and rounds to 0 although neither
        // factor is 0: b is taken, not the lower midpoint.
        PathCase{"bracket_product_underflows",
                 tiny_step_parabola,
                 tiny,
                 10.5625,
                 1,
                 1.625 * tiny,
                 0.5625,
                 {1.25 * tiny, 1.625 * tiny, 2.1875 * tiny, 1.90625 * tiny}},
        // Bracket (0, 0.25, 0.625) with values 2m, m, 2m: den rounds to 0, so the midpoint
        // 0.4375 is tried; the next den rounds to 0 as well and b is taken.
        PathCase{"midpoint_fallback_once",
                 subnormal_valley,
                 0,
                 2 * m,
                 1,
                 0.4375,
                 0,
                 {0.25, 0.625, 0.4375}},
        // Not a number at 0.25 counts as uphill: the search turns back, runs downhill to
        // -0.25, overshoots at -0.625, tries the midpoint -0.4375 and the vertex -0.25.
        PathCase{"nan_first_trial_turns_back",
                 nan_on_right,
                 0,
                 1.0 / 16,
                 1,
                 -0.25,
                 0,
                 {0.25, -0.25, -0.625, -0.4375, -0.25}}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

// Not a number at 2.5h ends the bracketing; the vertex is not a number too and is taken as
// converged, but a result that is not a number is never stored: the better point 0.25 is lost.
TEST(LineSearch, NanResultIsNotStored) {
    evaluated.clear();
    variables = 1;
    double x[1] = {0};
    const double d[1] = {1.0};
    double value = 1.0 / 16;
    EXPECT_EQ(line_search(1, x, d, &value, nan_beyond_half, nullptr), 1);
    ASSERT_EQ(evaluated.size(), 3u);
    EXPECT_EQ(evaluated[0][0], 0.25);
    EXPECT_EQ(evaluated[1][0], 0.625);
    EXPECT_TRUE(std::isnan(evaluated[2][0]));
    EXPECT_EQ(x[0], 0);
    EXPECT_EQ(value, 1.0 / 16);
}

// The vertices of the bracket (a, 0, -1/4) for 1 + 2y^2 (right), 1 + 6y^2 (left) follow
// 1/t' = 4 + 3/t: 1/16, 1/52, 1/160, 1/484, 1/1456, 1/4372, 1/13120. Each one is above the
// value at 0 by 2t^2, within the tolerance of its round (0.01, 1e-3, ..., 1e-7) except the
// sixth (2/4372^2 > 1e-7), so x stays where it is: five retries, one more vertex, then stop.
TEST(LineSearch, UnmovedResultRetriesFiveTimes) {
    evaluated.clear();
    variables = 1;
    double x[1] = {0};
    const double d[1] = {1.0};
    double value = 1;
    EXPECT_EQ(line_search(1, x, d, &value, lopsided_at_zero, nullptr), 1);
    EXPECT_EQ(x[0], 0);
    EXPECT_EQ(value, 1);
    const std::vector<double> expected = {0.25,      -0.25,      1.0 / 16,   1.0 / 52,   1.0 / 160,
                                          1.0 / 484, 1.0 / 1456, 1.0 / 4372, 1.0 / 13120};
    const std::vector<double> got = first_coordinates();
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(got[i], expected[i], 1e-6 * std::fabs(expected[i])) << "evaluation " << i;
    }
}

struct StepCase {
    double x[3];
    double h;
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.x[0] << "," << c.x[1] << "," << c.x[2];
}

class InitialStep : public ::testing::TestWithParam<StepCase> {};

// Searching along the second coordinate (which is 0) of a flat function: the two trials are
// at h and h/2 there, the other coordinates stay.
TEST_P(InitialStep, FirstTrialsAtHAndHalf) {
    const StepCase& c = GetParam();
    evaluated.clear();
    variables = 3;
    double x[3] = {c.x[0], c.x[1], c.x[2]};
    const double d[3] = {0, 1, 0};
    double value = 5;
    EXPECT_EQ(line_search(3, x, d, &value, constant, nullptr), 0);
    ASSERT_EQ(evaluated.size(), 2u);
    EXPECT_EQ(evaluated[0], (std::vector<double>{c.x[0], c.h, c.x[2]}));
    EXPECT_EQ(evaluated[1], (std::vector<double>{c.x[0], c.h / 2, c.x[2]}));
}

INSTANTIATE_TEST_SUITE_P(Rules, InitialStep,
                         ::testing::Values(StepCase{{0, 0, 0}, 0.25},       // all zero
                                           StepCase{{2, 0, -3}, 0.25},      // all large
                                           StepCase{{1, 0, -1}, 0.25},      // magnitude 1
                                           StepCase{{0.2, 0, -0.5}, 0.05},  // smallest 0.2
                                           StepCase{{-0.5, 0, 0.2}, 0.05},  // in any place
                                           StepCase{{-0.2, 0, 7}, 0.05}));  // of any sign

using testing_support::read_all;

double shifted_parabola_2d(const double* p) {
    record(p);
    return 3 * (p[0] - 0.25) * (p[0] - 0.25) + 2;
}

// Two variables, the second one fixed: trials at 0.25, 0.625 (value 2.421875) and the
// vertex 0.25.
TEST(LineSearch, TraceText) {
    evaluated.clear();
    variables = 2;
    double x[2] = {0, -1.5};
    const double d[2] = {1, 0};
    double value = 2.1875;
    FILE* trace = tmpfile();
    ASSERT_NE(trace, nullptr);
    EXPECT_EQ(line_search(2, x, d, &value, shifted_parabola_2d, trace), 1);
    const std::string text = read_all(trace);
    fclose(trace);
    const std::string point_025 =
        "\n   *** Current point:\n\n"
        "       x01 =   2.5000e-01\n"
        "       x02 =  -1.5000e+00\n"
        "\n       sum of squares:  2.0000e+00\n";
    const std::string point_0625 =
        "\n   *** Current point:\n\n"
        "       x01 =   6.2500e-01\n"
        "       x02 =  -1.5000e+00\n"
        "\n       sum of squares:  2.4219e+00\n";
    EXPECT_EQ(text,
              "\nLinear search from the point:\n\n"
              "x01 =   0.0000e+00\n"
              "x02 =  -1.5000e+00\n" +
                  point_025 + point_0625 + point_025);
    EXPECT_EQ(x[0], 0.25);
    EXPECT_EQ(x[1], -1.5);
    EXPECT_EQ(value, 2);
}

}  // namespace
