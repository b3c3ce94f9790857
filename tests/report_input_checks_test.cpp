// The warnings about the traps of the input format, on hostile inputs read by the fit
// program's own readers and sampled by its own objective. Each expected warning is given by
// its file, its line and the pieces of its message that the rules of the formats decide.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "checks/curve_checks.h"
#include "checks/curve_lines.h"
#include "checks/input_checks.h"
#include "checks/parameter_lines.h"
#include "problem/parameter_file.h"
#include "problem/verbose.h"
#include "simulation/objective.h"
#include "simulation/workspace.h"
#include "tests/support/scratch_files.h"

namespace {

using testing_support::File;

struct Expected {
    std::string file;
    int line;
    std::vector<std::string> pieces;
};

struct InputCase {
    const char* what;
    std::vector<File> files;
    std::vector<Expected> warnings;
    std::string parameterFile = "params.txt";
};

const std::string CONSTS = "const 0 0.2 1.0 2.0\nconst 1 0.03 0.05 0.07\n";  // lines 1 and 2
const std::string CLEAN_CURVE = "1.0\n0 1.0\n5 0.79\n10 0.6\n";

std::string params_for(const std::vector<std::string>& curves) {
    std::string text = CONSTS;
    for (const std::string& c : curves)
        text += "plot " + c + "\n";
    return text;
}

// S0 and POINTS points 5 apart, falling but staying above 0, the first `suffixed` of them with
// a unit glued to the concentration, and `extra` data lines beyond the last slot.
std::string full_curve(int suffixed, int extra) {
    std::string text = "1\n";
    for (int i = 0; i < POINTS; ++i) {
        text += std::to_string(5 * i) + " " + std::to_string(1.0 - 0.9 * i / POINTS) +
                (i >= 1 && i <= suffixed ? "mM" : "") + "\n";
    }
    for (int i = 0; i < extra; ++i)
        text += std::to_string(5 * (POINTS + i)) + " 0.1\n";
    return text;
}

std::vector<InputCase> cases() {
    std::vector<InputCase> all;
    all.push_back(
        {"a clean problem", {{"params.txt", params_for({"c.txt"})}, {"c.txt", CLEAN_CURVE}}, {}});
    all.push_back(
        {"point 0 at time 7",
         {{"params.txt", params_for({"c.txt"})}, {"c.txt", "1.0\n7 0.93\n12 0.88\n17 0.8\n"}},
         {{"c.txt",
           2,
           {"at time 7", "7 earlier", "point 1 at 12 with the simulation at 5", "'0 1'"}}}});
    all.push_back({"times off the 0.01 grid",
                   {{"params.txt", params_for({"c.txt"})},
                    {"c.txt", "1\n0 1\n0.123 0.99\n0.5 0.9\n1.0049 0.8\n"}},
                   {{"c.txt",
                     5,
                     {"Time 1.0049 of point 3", "sampled 1 after point 0 instead of 1.0049",
                      "shift of -0.0049", "largest of the 2"}}}});
    all.push_back({"concentrations of 0 and below",
                   {{"params.txt", params_for({"c.txt"})},
                    {"c.txt", "1\n0 1\n5 0.8\n10 0\n15 -0.1\n20 0.5\n"}},
                   {{"c.txt", 4, {"2 points", "0 or below", "lines 4 and 5"}}}});
    all.push_back({"a repeated time",
                   {{"params.txt", params_for({"c.txt"})},
                    {"c.txt", "1\n0 1\n5 0.8\n5 0.7\n10 0.6\n15 0.5\n"}},
                   {{"c.txt",
                     4,
                     {"Time 5 of point 2 (line 4) does not come after the time 5 of "
                      "point 1 (line 3)",
                      "3 in all (lines 4 to 6)"}}}});
    all.push_back(
        {"point 0 at -5: the last point is past the end",
         {{"params.txt", params_for({"c.txt"})}, {"c.txt", "1\n-5 1\n0 0.9\n5 0.8\n10 0.7\n"}},
         {{"c.txt", 2, {"at time -5", "5 later", "point 1 at 0 with the simulation at 5"}},
          {"c.txt",
           5,
           {"Point 3 (line 5) is past the end", "at most 10", "lies at 15",
            "Start the curve at time 0"}}}});
    all.push_back(
        {"the first line holds a whole point",
         {{"params.txt", params_for({"c.txt"})}, {"c.txt", "0 1.0\n5 0.8\n10 0.6\n15 0.5\n"}},
         {{"c.txt",
           1,
           {"'0 1.0' is the first data line", "only its first number, 0,", "starts from 0"}},
          {"c.txt", 2, {"at time 5", "5 earlier"}}}});
    all.push_back(
        {"numbers glued to commas and units",
         {{"params.txt", params_for({"c.txt"})},
          {"c.txt", "1\n0 1\n5 0,8\n10min 0.6\n15 0.5mM\n20 0.4\n"}},
         {{"c.txt",
           3,
           {"with time 5 and concentration 0", "'0,8' is read only as far as 0",
            "write decimals with a point"}},
          {"c.txt",
           4,
           {"with time 10 and no concentration", "'10min' is read only as far as 10",
            "'min', is no number", "not compared", "units in a line that starts with '#'"}},
          {"c.txt",
           5,
           {"with time 15 and concentration 0.5", "'0.5mM' is read only as far as 0.5"}}}});

    // Curves that compare nothing, each for a reason of its own.
    const std::vector<std::string> nothing = {"one.txt",   "empty.txt", "s0only.txt",
                                              "zeros.txt", "start.txt", "header.txt",
                                              "first.txt", "comma.txt", "negative.txt"};
    all.push_back(
        {"curves that compare no point",
         {{"params.txt", params_for(nothing)},
          {"one.txt", "1\n0 1\n"},
          {"empty.txt", "# nothing\n\n"},
          {"s0only.txt", "1\n"},
          {"zeros.txt", "1\n0 1\n5 0\n10 -1\n"},
          {"start.txt", "1\n0 1\n0.02 0.99\n5 0.8\n"},
          {"header.txt", "1.0\ntime conc\n0 1.0\n5 0.8\n"},
          {"first.txt", "time conc\n1.0\n0 1.0\n5 0.8\n"},
          {"comma.txt", "1\n0 1\n5,0.8\n10,0.6\n"},
          {"negative.txt", "1\n-10 1\n-5 0.8\n"}},
         {{"one.txt", 2, {"compares no point", "a single point"}},
          {"empty.txt", 0, {"compares no point", "no data line"}},
          {"s0only.txt", 1, {"compares no point", "initial concentration but no point"}},
          {"zeros.txt", 0, {"compares no point", "0 or below"}},
          {"start.txt",
           3,
           {"compares no point", "Point 1 (line 3) comes only 0.02 after point 0",
            "first 4 steps (0.04)", "2 in all (lines 3 to 4)", "at least 0.04"}},
          {"header.txt", 2, {"'time conc' is not read as a point", "counts as point 0"}},
          {"header.txt",
           3,
           {"compares no point",
            "Time 0 of point 1 (line 3) does not come after the time 0 of point 0 "
            "(line 2)",
            "Line 2 is not a number, yet it counts as a point at time 0"}},
          {"first.txt", 1, {"'time conc' is the first data line", "initial concentration stays 0"}},
          {"first.txt", 1, {"compares no point", "first data line is not a number"}},
          {"first.txt", 2, {"'1.0' is read as point 0 with time 1 and no concentration"}},
          {"comma.txt", 0, {"compares no point", "gives a concentration the reader took"}},
          {"comma.txt",
           3,
           {"'5,0.8' is read as point 1 with time 5 and no concentration",
            "write decimals with a point"}},
          {"comma.txt", 4, {"'10,0.6' is read as point 2"}},
          {"negative.txt", 3, {"compares no point", "last point's time, -5, is below 0"}}}});

    // The first lines of one kind of trouble are shown, the others named in one warning.
    std::vector<Expected> capped;
    for (int line = 3; line < 3 + input_checks::SAME_KIND_SHOWN; ++line)
        capped.push_back({"big.txt", line, {"is read only as far as"}});
    capped.push_back({"big.txt",
                      6,
                      {"This line and 21 more of this file, up to line 27, have the "
                       "same trouble as line 3"}});
    capped.push_back(
        {"big.txt",
         POINTS + 2,
         {"This data line and the 3 after it, up to line " + std::to_string(POINTS + 5),
          "after the " + std::to_string(POINTS + 1) + "th", std::to_string(POINTS) + " points"}});
    all.push_back({"a curve too long, with too many faulty lines",
                   {{"params.txt", params_for({"big.txt"})}, {"big.txt", full_curve(25, 4)}},
                   capped});
    all.push_back({"a line of two million characters",
                   {{"params.txt", params_for({"c.txt"})},
                    {"c.txt", "1\n0 1\n5 0.8 " + std::string(2 << 20, 'x') + "\n10 0.6\n"}},
                   {{"c.txt", 3, {"longer than 1048576 characters"}}}});

    all.push_back(
        {"const lines the reader misreads",
         {{"params.txt",
           "const 0 0.2 1.0 2.0\n# const 1 0.03 0.05 0.07\nconst 2 0.5 1.0 1.5\n"
           "const 1 0.07 0.05 0.03\nplot c.txt\n"},
          {"c.txt", CLEAN_CURVE}},
         {{"params.txt", 0, {"has 4 const lines", "expects exactly 2", "0 = Km and 1 = Vmax"}},
          {"params.txt", 2, {"starts with '#'", "keyword 'const'"}},
          {"params.txt", 3, {"2 constants (0 = Km and 1 = Vmax), so index 2 is outside 0 to 1"}},
          {"params.txt", 4, {"sets constant 1 (Vmax) again, after line 2"}},
          {"params.txt",
           4,
           {"lower bound 0.07 is above the upper bound 0.03",
            "Vmax is held at the midpoint 0.05"}}}});
    all.push_back({"const arguments that are not numbers",
                   {{"params.txt",
                     "const 0 0.2 1.0 2.0\nconst 1 0.03 abc 0.07 plot c.txt\n"
                     "const 1.5 0.03 0.05 0.07\nPlot c.txt\nconst x\n"},
                    {"c.txt", CLEAN_CURVE}},
                   {{"params.txt", 0, {"has 4 const lines"}},
                    {"params.txt", 0, {"no plot line"}},
                    {"params.txt",
                     2,
                     {"read as 'const 1 0.03 0 2'", "'abc' is not a number and is taken as 0",
                      "the upper bound is not read after that and keeps 2",
                      "constant 1 (Vmax) gets the range 0.03 to 2"}},
                    {"params.txt", 2, {"keyword 'plot' after it is not read"}},
                    {"params.txt",
                     3,
                     {"read as 'const 1 0.5 0.03 0.05'", "the index '1.5' is read only as far as 1",
                      "constant 1 (Vmax) gets the range 0.5 to 0.05"}},
                    {"params.txt", 3, {"sets constant 1 (Vmax) again, after line 2"}},
                    {"params.txt", 4, {"'Plot' is not a keyword", "'plot'"}},
                    {"params.txt",
                     5,
                     {"read as 'const 0 0.5 0.03 0.05'", "'x' is not a number and is taken as 0",
                      "the lower bound, the value and the upper bound are not read after that and "
                      "keep 0.5, 0.03 and 0.05",
                      "constant 0 (Km) gets the range 0.5 to 0.05"}},
                    {"params.txt", 5, {"sets constant 0 (Km) again, after line 1"}}}});
    all.push_back({"a constant left unset and a range around 0",
                   {{"params.txt", "const 0 -1 0 1\nplot c.txt\n"}, {"c.txt", CLEAN_CURVE}},
                   {{"params.txt", 0, {"has 1 const line;"}},
                    {"params.txt",
                     0,
                     {"No const line sets constant 1 (Vmax)", "stays 0 to 0", "nothing moves"}},
                    {"params.txt",
                     1,
                     {"constant 0 (Km), -1 to 1, has its midpoint at 0", "Km starts at 0"}}}});

    std::string manyPlots = CONSTS + "plot missing.txt\nplot sub\nplot\n";
    for (int i = 0; i < PLOTS; ++i)
        manyPlots += "plot c.txt\n";
    const auto plot_line = [](int k) { return "is plot line " + std::to_string(PLOTS + k); };
    all.push_back(
        {"plot lines the reader cannot follow",
         {{"params.txt", manyPlots}, {"sub/", ""}, {"c.txt", CLEAN_CURVE}},
         {{"params.txt",
           3,
           {"There is no curve file 'missing.txt' in the working folder", "curve 1 is empty"}},
          {"params.txt", 4, {"'sub' is a folder, not a curve file"}},
          {"params.txt", 5, {"'plot' has no file name", "curve 3 stays empty"}},
          {"params.txt", PLOTS + 3, {plot_line(1), "only the first " + std::to_string(PLOTS)}},
          {"params.txt", PLOTS + 4, {plot_line(2)}},
          {"params.txt", PLOTS + 5, {plot_line(3)}}}});
    all.push_back(
        {"a curve file next to the parameter file, not in the working folder",
         {{"in/", ""}, {"in/params.txt", params_for({"c.txt"})}, {"in/c.txt", CLEAN_CURVE}},
         {{"in/params.txt",
           3,
           {"no curve file 'c.txt'", "next to the parameter file", "run the program in 'in'"}}},
         "in/params.txt"});
    all.push_back({"no parameter file",
                   {},
                   {{"nope.txt", 0, {"There is no parameter file 'nope.txt'", "nothing to fit"}}},
                   "nope.txt"});
    return all;
}

std::string file_text(const std::string& name) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(name, ignored)) return "";
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The line checks read every file as its reader does: same records from the same text.
void expect_same_reading(const std::string& parameterFile, const ConstantSet& constants,
                         const PlotSet& plots) {
    input_checks::FileWarnings ignored(parameterFile);
    input_checks::ParameterLineChecks parameters(ignored);
    std::istringstream text(file_text(parameterFile));
    std::string line;
    bool cut = false;
    while (input_checks::read_line(text, line, cut))
        parameters.line(line, cut);
    for (int j = 0; j < CONSTANTS; ++j) {
        EXPECT_EQ(parameters.ranges().constant_min[j], constants.constant_min[j]) << j;
        EXPECT_EQ(parameters.ranges().constant_max[j], constants.constant_max[j]) << j;
    }
    const int curves = std::min<int>(plots.plotCount, parameters.plots().size());
    for (int p = 0; p < curves; ++p) {
        input_checks::CurveLineChecks lines(ignored);
        std::istringstream curve(file_text(parameters.plots()[p].name));
        while (input_checks::read_line(curve, line, cut))
            lines.line(line, cut);
        auto mine = std::make_unique<Plot>();
        *mine = Plot{};
        lines.fill(*mine);
        const Plot& read = plots.plot[p];
        ASSERT_EQ(mine->pointCount, read.pointCount) << "curve " << p;
        EXPECT_EQ(mine->initialConcentration, read.initialConcentration) << "curve " << p;
        for (int i = 0; i < read.pointCount; ++i) {
            EXPECT_EQ(mine->point[i].time, read.point[i].time) << "curve " << p << " point " << i;
            EXPECT_EQ(mine->point[i].concentration[0], read.point[i].concentration[0])
                << "curve " << p << " point " << i;
        }
    }
}

using InputChecksTest = testing_support::ScratchFilesTest;

TEST_F(InputChecksTest, WarnsAboutEveryTrapOfTheInput) {
    verbose = false;
    const std::vector<InputCase> all = cases();
    for (std::size_t row = 0; row < all.size(); ++row) {
        const InputCase& c = all[row];
        SCOPED_TRACE(c.what);
        enter_with(static_cast<int>(row), c.files);

        ConstantSet constants{};
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        auto plots = std::make_unique<PlotSet>();
        RunSettings settings{};
        read_parameter_file(c.parameterFile, settings, constants, *plots);
        load_workspace(&constants, plots.get());
        const double x[1] = {1.0};
        sum_of_squares_at(x);
        testing::internal::GetCapturedStderr();
        testing::internal::GetCapturedStdout();

        if (!c.files.empty()) expect_same_reading(c.parameterFile, constants, *plots);

        std::vector<Warning> warnings;
        check_input(c.parameterFile, constants, *plots, FitFacts{fit_workspace.points_sampled},
                    warnings);
        std::string got;
        for (const Warning& w : warnings)
            got += w.file + ":" + std::to_string(w.line) + ": " + w.message + "\n";
        SCOPED_TRACE(got);
        ASSERT_EQ(warnings.size(), c.warnings.size());
        for (std::size_t k = 0; k < warnings.size(); ++k) {
            EXPECT_EQ(warnings[k].file, c.warnings[k].file) << "warning " << k;
            EXPECT_EQ(warnings[k].line, c.warnings[k].line) << "warning " << k;
            for (const std::string& piece : c.warnings[k].pieces)
                EXPECT_NE(warnings[k].message.find(piece), std::string::npos)
                    << "warning " << k << " lacks: " << piece;
        }
    }
}

}  // namespace
