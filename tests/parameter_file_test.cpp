// Parameter-file reader: echo, diagnostics and the records it fills, one fresh directory per
// case. Built for both flavours; each has its own table where the number of constants matters.
#include "problem/parameter_file.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/scratch_files.h"

namespace fs = std::filesystem;

namespace {

using testing_support::File;

struct Curve {
    int pointCount;
    double initialConcentration;
};

struct ParameterCase {
    const char* what;
    std::vector<File> files;
    std::string out;
    std::string err;
    int integration_steps;
    int max_iterations;
    double max_error;
    std::array<double, CONSTANTS> constant_min;
    std::array<double, CONSTANTS> constant_max;
    int plotCount;
    std::vector<Curve> curves;  // slots 0..; every later slot stays 0
};

const std::string kBegin = "--------Plot Data Begin--------\n";
const std::string kEnd = "--------Plot Data End--------\n";
const std::string kCantOpen = "ERROR!! Can't open file with parameters\n";
const std::string kWrongCount = "Wrong number of constants in parameters file\n";

// a.txt, used by most cases, and its echo.
const File kCurveA = {"a.txt", "2.5\n0 2.5\n10 1.9\n"};
const std::string kCurveAEcho = kBegin + "2.5\n0 2.5 \n10 1.9 \n" + kEnd;

std::string totals(int lines, int consts, int plots) {
    return "Total lines: " + std::to_string(lines) + "\nTotal consts: " + std::to_string(consts) +
           "\nCONSTANTS: " + std::to_string(VELKOR_CONSTANTS) +
           "\nTotal plots: " + std::to_string(plots) + "\n";
}

class ParameterFileTest : public testing_support::ScratchFilesTest {
  protected:
    void run_cases(const std::vector<ParameterCase>& cases) {
        for (size_t row = 0; row < cases.size(); ++row) {
            const ParameterCase& c = cases[row];
            SCOPED_TRACE(c.what);
            enter_with(row, c.files);
            auto settings = std::make_unique<RunSettings>();
            auto constants = std::make_unique<ConstantSet>();
            testing::internal::CaptureStdout();
            auto plots = std::make_unique<PlotSet>();
            testing::internal::GetCapturedStdout();

            testing::internal::CaptureStdout();
            testing::internal::CaptureStderr();
            read_parameter_file("param.txt", *settings, *constants, *plots);
            std::string err = testing::internal::GetCapturedStderr();
            std::string out = testing::internal::GetCapturedStdout();

            EXPECT_EQ(out, c.out);
            EXPECT_EQ(err, c.err);
            EXPECT_EQ(settings->integration_steps, c.integration_steps);
            EXPECT_EQ(settings->max_iterations, c.max_iterations);
            EXPECT_EQ(settings->max_error, c.max_error);
            for (int i = 0; i < CONSTANTS; ++i) {
                EXPECT_EQ(constants->constant_min[i], c.constant_min[i]) << "index " << i;
                EXPECT_EQ(constants->constant_max[i], c.constant_max[i]) << "index " << i;
            }
            EXPECT_EQ(plots->plotCount, c.plotCount);
            for (int slot = 0; slot < PLOTS; ++slot) {
                Curve want =
                    slot < static_cast<int>(c.curves.size()) ? c.curves[slot] : Curve{0, 0};
                EXPECT_EQ(plots->plot[slot].pointCount, want.pointCount) << "slot " << slot;
                EXPECT_EQ(plots->plot[slot].initialConcentration, want.initialConcentration)
                    << "slot " << slot;
            }
        }
    }
};

// Cases that do not depend on the number of constants, except through the count message.
std::vector<ParameterCase> common_cases() {
    const std::string wrong = kWrongCount;
    std::vector<ParameterCase> cases = {
        {"empty file", {{"param.txt", ""}}, totals(0, 0, 0), wrong, 0, 0, 0, {}, {}, 0, {}},
        {"missing file", {}, totals(0, 0, 0), kCantOpen + wrong, 0, 0, 0, {}, {}, 0, {}},
        {"directory",
         {{"param.txt/", ""}},
         totals(0, 0, 0),
         kCantOpen + wrong,
         0,
         0,
         0,
         {},
         {},
         0,
         {}},
        {"plot without a name, missing curve file, curve directory",
         {{"param.txt", "plot\nplot   \r\nplot none.txt\nplot sub\n"}, {"sub/", ""}},
         "Plot Name: \n" + kBegin + kEnd + "Plot Name: \n" + kBegin + kEnd +
             "Plot Name: none.txt\n" + kBegin + kEnd + "Plot Name: sub\n" + kBegin + kEnd +
             totals(4, 0, 4),
         "ERROR!! Can't open file\nERROR!! Can't open file\nERROR!! Can't open file\n"
         "ERROR!! Can't open file\n" +
             wrong,
         0,
         0,
         0,
         {},
         {},
         4,
         {}},
    };

    // 16 curves fill the slots; the 17th and 18th are named and echoed, never read.
    ParameterCase many{
        "more than 16 plots", {kCurveA, {"b.txt", "9\n1 1\n"}}, "", "", 0, 0, 0, {}, {}, PLOTS, {}};
    std::string text;
    for (int i = 0; i < 16; ++i) {
        text += "plot a.txt\n";
        many.out += "Plot Name: a.txt\n" + kCurveAEcho;
        many.curves.push_back({2, 2.5});
    }
    text += "plot b.txt\nplot\n";
    many.out += "Plot Name: b.txt\nPlot Name: \n" + totals(18, 0, 18);
    many.err = "Number of plots exceed PLOTS\nNumber of plots exceed PLOTS\n" + wrong;
    many.files.push_back({"param.txt", text});
    cases.push_back(many);
    return cases;
}

TEST_F(ParameterFileTest, FilesWithoutConstants) {
    run_cases(common_cases());
}

// A first const line cut short shows the working values as they were before any reading:
// after "const 0 0.5" the stream is at its end, so the extractions of the value and the
// maximum store nothing and both stay 0 (and 0.5 > 0 is out of order); after a bare "const"
// the index and the minimum stay 0 as well.
TEST_F(ParameterFileTest, FirstConstLineCutShortKeepsTheInitialValues) {
    const std::string disorder = "wrong order of constatnt ( index 0 ) min/max values\n";
    run_cases({
        {"const line ends after its minimum",
         {{"param.txt", "const 0 0.5\n"}},
         "Constant # 0 : 0.5 0 0\n" + totals(1, 1, 0),
         disorder + kWrongCount,
         0,
         0,
         0,
         {0.5},
         {0},
         0,
         {}},
        {"const line ends after its keyword",
         {{"param.txt", "const\n"}},
         "Constant # 0 : 0 0 0\n" + totals(1, 1, 0),
         kWrongCount,
         0,
         0,
         0,
         {0},
         {0},
         0,
         {}},
    });
}

#if VELKOR_CONSTANTS == 2

const File kCurveB = {"b.txt", "# run 2\n4\n\n0 4\n5 3.25 extra\n7 2e-3\n"};
const std::string kCurveBEcho =
    kBegin + "----------\n4\n----------\n0 4 \n5 3.25 \n7 0.002 \n" + kEnd;

TEST_F(ParameterFileTest, EchoDiagnosticsAndRecords) {
    const std::string example =
        "Integration steps: 1000\nMax iterations: 200\nMax error: 1e-06\n"
        "Constant # 0 : 0.1 1 10\nConstant # 1 : 0.01 0.5 5\n";
    const std::string wrong = kWrongCount;
    run_cases({
        {"complete file, LF",
         {kCurveA,
          kCurveB,
          {"param.txt",
           "integration_steps 1000\nmax_iterations 200 max_error 1e-6\nconst 0 0.1 1 10\n"
           "const 1 0.01 0.5 5\nplot a.txt\nplot b.txt\n"}},
         example + "Plot Name: a.txt\n" + kCurveAEcho + "Plot Name: b.txt\n" + kCurveBEcho +
             totals(6, 2, 2),
         "",
         1000,
         200,
         1e-6,
         {0.1, 0.01},
         {10, 5},
         2,
         {{2, 2.5}, {3, 4}}},
        {"CR LF, blank lines, last line without line end",
         {{"a.txt", "2.5\r\n0 2.5\r\n10 1.9"},
          {"param.txt",
           "integration_steps 1000\r\n\r\nmax_iterations 200 max_error 1e-6\r\n   \t\r\n"
           "const 0 0.1 1 10\r\nconst 1 0.01 0.5 5\r\nplot a.txt\r\nmax_error 2.5"}},
         example + "Plot Name: a.txt\n" + kCurveAEcho + "Max error: 2.5\n" + totals(8, 2, 1),
         "",
         1000,
         200,
         2.5,
         {0.1, 0.01},
         {10, 5},
         1,
         {{2, 2.5}}},
        {"hash lines, keywords in another case, words before keywords",
         {kCurveA,
          {"param.txt",
           "# max_error 0.5\n"
           "Max_error 3 MAX_ITERATIONS 4 Integration_steps 5 Const 0 1 2 3 Plot a.txt\n"
           "set integration_steps 7 and max_iterations 8\n"
           "# const 0 1 2 3\n"
           "#const 1 4 5 6\n"}},
         "Max error: 0.5\nIntegration steps: 7\nMax iterations: 8\nConstant # 0 : 1 2 3\n" +
             totals(5, 1, 0),
         wrong,
         7,
         8,
         0.5,
         {1, 0},
         {3, 0},
         0,
         {}},
        {"several keywords on one line, one curve file twice",
         {kCurveA,
          {"param.txt",
           "integration_steps 5 max_iterations 6 max_error 7e-3 const 0 1 2 3 const 1 4 5 6 "
           "plot a.txt plot a.txt max_error 8\n"}},
         "Integration steps: 5\nMax iterations: 6\nMax error: 0.007\nConstant # 0 : 1 2 3\n"
         "Constant # 1 : 4 5 6\nPlot Name: a.txt\n" +
             kCurveAEcho + "Plot Name: a.txt\n" + kCurveAEcho + "Max error: 8\n" + totals(1, 2, 2),
         "",
         5,
         6,
         8,
         {1, 4},
         {3, 6},
         2,
         {{2, 2.5}, {2, 2.5}}},
        // A failed read ends the line; the field gets what the extraction left in the
        // working value: 0 after a failed conversion, the earlier value (of any keyword
        // sharing it) when nothing was left.
        {"missing and malformed arguments",
         {{"param.txt",
           "integration_steps 10 max_iterations 20 max_error 1.5\n"
           "integration_steps\n"
           "max_iterations abc max_error 2\n"
           "max_error x integration_steps 3\n"
           "max_iterations 12.5 max_error 1234567\n"
           "const 0 1 2 3\n"
           "const 1 4\n"
           "const 0 1 2 three max_error 9\n"
           "const\n"}},
         "Integration steps: 10\nMax iterations: 20\nMax error: 1.5\n"
         "Integration steps: 20\n"
         "Max iterations: 0\n"
         "Max error: 0\n"
         "Max iterations: 12\nMax error: 1.23457e+06\n"
         "Constant # 0 : 1 2 3\n"
         "Constant # 1 : 4 2 3\n"
         "Constant # 0 : 1 2 0\n"
         "Constant # 0 : 1 2 0\n" +
             totals(9, 4, 0),
         "wrong order of constatnt ( index 1 ) min/max values\n"
         "wrong order of constatnt ( index 0 ) min/max values\n"
         "wrong order of constatnt ( index 0 ) min/max values\n" +
             wrong,
         20,
         12,
         1234567,
         {1, 4},
         {0, 3},
         0,
         {}},
        {"duplicate const lines count twice",
         {{"param.txt", "const 0 1 2 3\nconst 0 4 5 6\n"}},
         "Constant # 0 : 1 2 3\nConstant # 0 : 4 5 6\n" + totals(2, 2, 0),
         "",
         0,
         0,
         0,
         {4, 0},
         {6, 0},
         0,
         {}},
        {"order test is strict; bounds stored as read; index out of range",
         {{"param.txt",
           "const 0 1 1 1\nconst 1 0 -1 1\nconst 1 0 2 1\nconst 1 5 3 1\n"
           "const 2 1 2 3\nconst -1 3 2 1\n"}},
         "Constant # 0 : 1 1 1\nConstant # 1 : 0 -1 1\nConstant # 1 : 0 2 1\n"
         "Constant # 1 : 5 3 1\nConstant # 2 : 1 2 3\nConstant # -1 : 3 2 1\n" +
             totals(6, 6, 0),
         "wrong order of constatnt ( index 1 ) min/max values\n"
         "wrong order of constatnt ( index 1 ) min/max values\n"
         "wrong order of constatnt ( index 1 ) min/max values\n"
         "constant index out of range ( index 2 ), bounds ignored\n"
         "wrong order of constatnt ( index -1 ) min/max values\n"
         "constant index out of range ( index -1 ), bounds ignored\n" +
             wrong,
         0,
         0,
         0,
         {1, 5},
         {1, 1},
         0,
         {}},
    });
}

#elif VELKOR_CONSTANTS == 3

TEST_F(ParameterFileTest, ThreeConstants) {
    run_cases({
        {"three const lines",
         {{"param.txt", "const 0 1 2 3\nconst 1 4 5 6\nconst 2 7 8 9\n"}},
         "Constant # 0 : 1 2 3\nConstant # 1 : 4 5 6\nConstant # 2 : 7 8 9\n" + totals(3, 3, 0),
         "",
         0,
         0,
         0,
         {1, 4, 7},
         {3, 6, 9},
         0,
         {}},
        {"two const lines, index 3 out of range",
         {{"param.txt", "const 2 7 8 9\nconst 3 1 2 3\n"}},
         "Constant # 2 : 7 8 9\nConstant # 3 : 1 2 3\n" + totals(2, 2, 0),
         "constant index out of range ( index 3 ), bounds ignored\n" + kWrongCount,
         0,
         0,
         0,
         {0, 0, 7},
         {0, 0, 9},
         0,
         {}},
    });
}

#endif

}  // namespace
