// Curve-file reader: echo, diagnostics and the slot it fills, one fresh directory per case.
#include "problem/plot_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/scratch_files.h"

namespace fs = std::filesystem;

namespace {

using testing_support::File;

struct Point {
    double time;
    double concentration;
};

struct PlotCase {
    const char* what;
    std::vector<File> files;
    std::string fileName;
    int slot;
    std::string out;
    std::string err;
    int pointCount;
    double initialConcentration;
    std::vector<Point> points;  // point[0..]; every later slot stays 0
};

const char* const kBegin = "--------Plot Data Begin--------\n";
const char* const kEnd = "--------Plot Data End--------\n";
const char* const kSkip = "----------\n";

using PlotFileTest = testing_support::ScratchFilesTest;

std::unique_ptr<PlotSet> quiet_plot_set() {
    testing::internal::CaptureStdout();
    auto plots = std::make_unique<PlotSet>();
    testing::internal::GetCapturedStdout();
    return plots;
}

void expect_empty(const Plot& plot) {
    EXPECT_EQ(plot.pointCount, 0);
    EXPECT_EQ(plot.initialConcentration, 0.0);
    for (int i = 0; i < POINTS; ++i) {
        EXPECT_EQ(plot.point[i].time, 0.0) << "point " << i;
        EXPECT_EQ(plot.point[i].concentration[0], 0.0) << "point " << i;
    }
}

void expect_filled(const Plot& plot, const PlotCase& c) {
    EXPECT_EQ(plot.pointCount, c.pointCount);
    EXPECT_EQ(plot.initialConcentration, c.initialConcentration);
    for (int i = 0; i < POINTS; ++i) {
        Point want = i < static_cast<int>(c.points.size()) ? c.points[i] : Point{0, 0};
        EXPECT_EQ(plot.point[i].time, want.time) << "point " << i;
        EXPECT_EQ(plot.point[i].concentration[0], want.concentration) << "point " << i;
    }
}

// 1 + 258 data lines with a comment and a blank line among the two that do not fit.
PlotCase too_many_points() {
    PlotCase c{"more than 257 data lines", {}, "big.txt", 15, kBegin, "", POINTS, 100, {}};
    std::string text = "100\n";
    c.out += "100\n";
    for (int i = 0; i < POINTS; ++i) {
        text += std::to_string(i) + " " + std::to_string(2 * i) + "\n";
        c.out += std::to_string(i) + " " + std::to_string(2 * i) + " \n";
        c.points.push_back({double(i), double(2 * i)});
    }
    text += "256 512\n# tail\n257 514\n\n";
    c.out += std::string(kSkip) + kSkip + kEnd;
    c.err = "Number of points exceed POINTS in file big.txt\n";
    c.files = {{"big.txt", text}};
    return c;
}

TEST_F(PlotFileTest, EchoDiagnosticsAndSlot) {
    const std::string b = kBegin, e = kEnd, s = kSkip;
    const std::vector<PlotCase> cases = {
        {"comment, blank line, words after the point",
         {{"run3.txt", "# substrate, run 3\n2.5\n\n0.0 2.5\n10 1.9\n20 1.4 extra words\n"}},
         "run3.txt",
         0,
         b + s + "2.5\n" + s + "0 2.5 \n10 1.9 \n20 1.4 \n" + e,
         "",
         3,
         2.5,
         {{0, 2.5}, {10, 1.9}, {20, 1.4}}},
        {"CR LF, indented comment, white-space lines, last line without line end",
         {{"crlf.txt",
           "\t# c\r\n1.5e1\r\n\r\n \t \r\n0 15\r\n# 1 2\r\n5 1.25e-2\r\n 1e3\t-2.5e+2"}},
         "crlf.txt",
         7,
         b + s + "15\n" + s + s + "0 15 \n" + s + "5 0.0125 \n1000 -250 \n" + e,
         "",
         3,
         15,
         {{0, 15}, {5, 0.0125}, {1000, -250}}},
        {"one number among comments and blank lines",
         {{"one.txt", "#a\n\n3\n#b\n"}},
         "one.txt",
         1,
         b + s + s + "3\n" + s + e,
         "",
         0,
         3,
         {}},
        {"first data line with two numbers",
         {{"two.txt", "3 4\n1 2\n"}},
         "two.txt",
         2,
         b + "3\n1 2 \n" + e,
         "",
         1,
         3,
         {{1, 2}}},
        {"header line counts as data line 1",
         {{"head.txt", "time conc\n0 1\n5 0.5\n"}},
         "head.txt",
         3,
         b + "0 1 \n5 0.5 \n" + e,
         "",
         2,
         0,
         {{0, 1}, {5, 0.5}}},
        {"points without a readable concentration; hash after the numbers",
         {{"pts.txt", "1\n# c\n\n0 1\n5\n7 abc\n9 0.5 # late\n11 0.25#x\n"}},
         "pts.txt",
         4,
         b + "1\n" + s + s + "0 1 \n5 \n7 \n9 0.5 \n11 0.25 \n" + e,
         "Wrong number of substances in file pts.txt on line 3\n"
         "Wrong number of substances in file pts.txt on line 4\n",
         5,
         1,
         {{0, 1}, {5, 0}, {7, 0}, {9, 0.5}, {11, 0.25}}},
        {"data line without a number keeps its place",
         {{"gap.txt", "1\n0 1\nn/a 3\n2 0.5\n"}},
         "gap.txt",
         5,
         b + "1\n0 1 \n2 0.5 \n" + e,
         "",
         3,
         1,
         {{0, 1}, {0, 0}, {2, 0.5}}},
        {"empty file", {{"empty.txt", ""}}, "empty.txt", 6, b + e, "", 0, 0, {}},
        {"missing file", {}, "none.txt", 8, b + e, "ERROR!! Can't open file\n", 0, 0, {}},
        {"directory", {{"dir/", ""}}, "dir", 9, b + e, "ERROR!! Can't open file\n", 0, 0, {}},
        {"empty name", {}, "", 10, b + e, "ERROR!! Can't open file\n", 0, 0, {}},
        too_many_points(),
    };
    for (size_t row = 0; row < cases.size(); ++row) {
        const PlotCase& c = cases[row];
        SCOPED_TRACE(c.what);
        enter_with(row, c.files);
        auto plots = quiet_plot_set();

        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        read_plot_file(c.slot, *plots, c.fileName);
        std::string err = testing::internal::GetCapturedStderr();
        std::string out = testing::internal::GetCapturedStdout();

        EXPECT_EQ(out, c.out);
        EXPECT_EQ(err, c.err);
        EXPECT_EQ(plots->plotCount, 0);
        for (int slot = 0; slot < PLOTS; ++slot) {
            SCOPED_TRACE("slot " + std::to_string(slot));
            if (slot == c.slot) {
                expect_filled(plots->plot[slot], c);
            } else {
                expect_empty(plots->plot[slot]);
            }
        }
    }
}

// A file with exactly POINTS points is complete: no message, every slot used.
TEST_F(PlotFileTest, ExactlyPointsPointsFit) {
    std::string text = "7\n";
    for (int i = 0; i < POINTS; ++i)
        text += "1 " + std::to_string(i) + "\n";
    enter_with(0, {{"full.txt", text}});
    auto plots = quiet_plot_set();

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    read_plot_file(0, *plots, "full.txt");
    std::string err = testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(err, "");
    EXPECT_EQ(plots->plot[0].pointCount, POINTS);
    EXPECT_EQ(plots->plot[0].point[POINTS - 1].concentration[0], POINTS - 1);
}

}  // namespace
