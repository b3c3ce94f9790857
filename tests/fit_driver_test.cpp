// The fit driver: workspace set-up, printed constants, "out.dat", and a fit of exact data.
#include "driver/fit_driver.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "simulation/workspace.h"
#include "tests/support/michaelis_menten.h"
#include "tests/support/scratch_dir.h"

namespace {

// Runs each test in a scratch working directory, where run_fit writes "out.dat".
class FitDriverTest : public ::testing::Test {
  protected:
    static std::string read_file(const char* name) {
        std::ifstream in(name);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    testing_support::ScratchDir scratch_{"velkor-fit"};
};

// Exact Michaelis-Menten curves sampled every 5 time units over 60.
void fill_exact_problem(PlotSet& plots, ConstantSet& constants, double km, double vmax) {
    const double starts[] = {0.5, 1.0, 2.0};
    plots.plotCount = 3;
    for (int p = 0; p < 3; ++p) {
        Plot& plot = plots.plot[p];
        plot.initialConcentration = starts[p];
        plot.pointCount = 13;
        for (int i = 0; i < 13; ++i) {
            plot.point[i].time = 5.0 * i;
            plot.point[i].concentration[0] =
                testing_support::substrate_at(starts[p], km, vmax, 5.0 * i);
        }
    }
    constants.constant_min[0] = 0.2;
    constants.constant_max[0] = 2.0;
    constants.constant_min[1] = vmax - 0.02;
    constants.constant_max[1] = vmax + 0.02;
    if (CONSTANTS > 2) {
        constants.constant_min[CONSTANTS - 1] = 1.0;
        constants.constant_max[CONSTANTS - 1] = 4.0;
    }
}

// The last count lines of the captured output.
std::string last_lines(const std::string& text, int count) {
    std::string::size_type end = text.size();
    std::string::size_type pos = end;
    for (int i = 0; i <= count && pos != std::string::npos && pos > 0; ++i)
        pos = text.rfind('\n', pos - 1);
    return pos == std::string::npos ? text : text.substr(pos + 1);
}

TEST_F(FitDriverTest, OtherConstantsStayAtTheirMidpointsAndArePrinted) {
    RunSettings settings{};
    ConstantSet constants{};
    testing::internal::CaptureStdout();
    PlotSet* plots = new PlotSet();
    fill_exact_problem(*plots, constants, 0.8, 0.05);
    constants.constant_min[1] = 0.25;  // midpoint 0.375, exactly representable
    constants.constant_max[1] = 0.5;
    ConstantVector result = run_fit(&constants, plots, &settings);
    std::string out = testing::internal::GetCapturedStdout();

    char expected[200];
    std::snprintf(expected, sizeof expected, "%10.5e\n", result[0]);
    std::string lines = expected;
    lines += "3.75000e-01\n";
    if (CONSTANTS == 3) lines += "2.50000e+00\n";
    EXPECT_EQ(last_lines(out, CONSTANTS), lines);
    EXPECT_EQ(result[1], 0.375);
    EXPECT_EQ(fit_workspace.rate_constants[1], 0.375);
    EXPECT_EQ(fit_workspace.plot_set, plots);
    EXPECT_EQ(fit_workspace.point_time[2][12], 60.0);
    delete plots;
}

TEST_F(FitDriverTest, OutDatHoldsTheTraceOfOneFit) {
    RunSettings settings{};
    ConstantSet constants{};
    testing::internal::CaptureStdout();
    PlotSet* plots = new PlotSet();
    fill_exact_problem(*plots, constants, 0.8, 0.05);
    run_fit(&constants, plots, &settings);
    const std::string once = read_file("out.dat");
    run_fit(&constants, plots, &settings);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(read_file("out.dat"), once);
    EXPECT_EQ(once.rfind("\nInitial approximation:\n\nx01 =   1.0000e+00\n\nsum of squares:", 0),
              0u);
    delete plots;
}

TEST_F(FitDriverTest, FitsKmOfExactDataClosely) {
    if (CONSTANTS != 2) GTEST_SKIP() << "the third constant changes the rate law";
    RunSettings settings{};
    ConstantSet constants{};
    testing::internal::CaptureStdout();
    PlotSet* plots = new PlotSet();
    fill_exact_problem(*plots, constants, 0.8, 0.05);  // Vmax midpoint is the true 0.05
    ConstantVector result = run_fit(&constants, plots, &settings);
    testing::internal::GetCapturedStdout();
    EXPECT_NEAR(result[0], 0.8, 0.8e-3);
    delete plots;
}

TEST_F(FitDriverTest, UnwritableOutDatEndsTheRunWithStatusOne) {
    ASSERT_EQ(mkdir("out.dat", 0755), 0);
    RunSettings settings{};
    ConstantSet constants{};
    PlotSet* plots = new PlotSet();
    EXPECT_EXIT(run_fit(&constants, plots, &settings), ::testing::ExitedWithCode(1),
                "^out.dat: Is a directory\n$");
    delete plots;
}

}  // namespace
