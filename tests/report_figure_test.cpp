// The point table and the figure: the table read back cell by cell, and the script rendered
// by the real gnuplot for reports that are awkward in every way the input allows.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <thread>

#include "report/figure_script.h"
#include "outputs/gnuplot_process.h"
#include "report/table_output.h"
#include "tests/support/scratch_files.h"

namespace fs = std::filesystem;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

using ReportFigureTest = testing_support::ScratchFilesTest;

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

FitReport report_with(std::vector<CurveResult> curves) {
    FitReport report{};
    report.program = "velkor";
    report.parameter_file = "params.txt";
    report.time_unit = "s";
    report.conc_unit = "mM";
    report.constants[0] = 0.8;
    report.curves = std::move(curves);
    return report;
}

// A falling curve of `points` points, simulated a little above the measurements.
CurveResult falling_curve(const std::string& file, int points) {
    CurveResult curve{};
    curve.file = file;
    curve.initial_concentration = 1.0;
    for (int i = 0; i < points; ++i) {
        const double t = 5.0 * i, s = std::exp(-0.05 * t);
        curve.points.push_back({t, s, s + 0.002 * ((i % 3) - 1), i > 0});
    }
    for (int i = 0; i <= 100; ++i) {
        curve.sim_time.push_back(0.05 * (points - 1) * i);
        curve.sim_value.push_back(std::exp(-0.05 * curve.sim_time.back()));
    }
    return curve;
}

// gnuplot inherits our standard error when it starts: a capture made before the renderer
// catches its messages in a file.
class StderrCapture {
  public:
    explicit StderrCapture(const std::string& path) : path_(path) {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        FILE* file = std::fopen(path.c_str(), "w");
        dup2(fileno(file), STDERR_FILENO);
        std::fclose(file);
    }
    ~StderrCapture() { restore(); }
    std::string finish() {
        restore();
        return contents(path_);
    }

  private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        saved_ = -1;
    }
    std::string path_;
    int saved_;
};

// Renders the report's script; expects success, both images, and not a word from gnuplot
// (a warning would mean an empty block was plotted, which stops gnuplot when it is alone).
void expect_clean_render(const FitReport& report, const std::string& prefix) {
    ASSERT_TRUE(write_figure_script(report, prefix, prefix + ".gp"));
    StderrCapture capture("gnuplot-messages.txt");
    FigureRenderer renderer;
    const bool available = renderer.available();
    const bool rendered = renderer.render(prefix + ".gp", prefix);
    const std::string messages = capture.finish();
    ASSERT_TRUE(available) << "the tests need gnuplot (Debian package gnuplot-nox)";
    EXPECT_TRUE(rendered) << messages;
    EXPECT_EQ(messages, "");
    EXPECT_GT(fs::file_size(prefix + ".svg"), 0u);
    EXPECT_GT(fs::file_size(prefix + ".png"), 0u);
}

TEST_F(ReportFigureTest, PointTableHoldsEveryPointWithFullPrecision) {
    enter_with(0, {});
    CurveResult first{};
    first.file = "a\tb\nc\"d\".txt";  // a tab, a line break and quotes in one name
    first.points = {{0.0, 1.0, 1.0, false}, {0.1, 0.7, 0.6000000000000001, true}};
    CurveResult second{};
    second.file = "caf\xC3\xA9\xFF.txt";  // good UTF-8, then a stray Latin-1 byte
    second.points = {{5.0, NaN, 0.25, false},
                     {10.0, 0.5, NaN, true},
                     {-1e-300, std::numeric_limits<double>::infinity(), 1.0, false}};
    ASSERT_TRUE(write_point_table(report_with({first, second, CurveResult{}}), "fit.tsv"));
    EXPECT_EQ(contents("fit.tsv"),
              "curve\tfile\ttime\tmeasured\tsimulated\tresidual\tcompared\n"
              "1\t\"a b c\"\"d\"\".txt\"\t0\t1\t1\t0\t0\n"
              "1\t\"a b c\"\"d\"\".txt\"\t0.10000000000000001\t0.69999999999999996\t"
              "0.60000000000000009\t0.099999999999999867\t1\n"
              "2\tcaf\xC3\xA9?.txt\t5\tNaN\t0.25\tNaN\t0\n"
              "2\tcaf\xC3\xA9?.txt\t10\t0.5\tNaN\tNaN\t1\n"
              "2\tcaf\xC3\xA9?.txt\t-1e-300\tInf\t1\tInf\t0\n");
}

TEST_F(ReportFigureTest, PointTableReportsAFileItCannotWrite) {
    enter_with(1, {{"folder/", ""}});
    EXPECT_FALSE(write_point_table(report_with({falling_curve("c.txt", 3)}), "folder"));
}

// Names with quotes, apostrophes, a backquoted command, a macro sign and a line break;
// undefined, infinite and huge values; a curve with nothing, one without its simulation, one
// whose simulation breaks off.
TEST_F(ReportFigureTest, AwkwardReportRendersWithoutAWordFromGnuplot) {
    enter_with(2, {{"out dir/", ""}});
    CurveResult quoted = falling_curve("O'Brien's \"best\" `touch injected` @x_1.txt", 13);
    quoted.points[3].measured = NaN;
    quoted.points[4].simulated = NaN;
    quoted.points[5].measured = std::numeric_limits<double>::infinity();
    quoted.points[6].measured = 1e308;  // gnuplot's axes overflow near such values
    quoted.sim_value[50] = NaN;
    CurveResult without_simulation = falling_curve("line\nbreak\\.txt", 5);
    without_simulation.sim_time.clear();
    without_simulation.sim_value.clear();
    CurveResult nothing{};
    nothing.file = "";
    FitReport report = report_with({quoted, nothing, without_simulation});
    report.parameter_file = "it's `touch injected`.txt";
    report.conc_unit = "\xC2\xB5M";
    report.constants[0] = NaN;
    expect_clean_render(report, "out dir/it's a \"fit\"\nof `touch injected`");
    EXPECT_FALSE(fs::exists("injected"));
}

TEST_F(ReportFigureTest, ReportWithoutAnythingToDrawStillRenders) {
    enter_with(3, {});
    FitReport report = report_with({});
    report.time_unit = report.conc_unit = "";
    expect_clean_render(report, "none");
    CurveResult empty{};
    empty.file = "empty.txt";
    CurveResult undefined{};
    undefined.points = {{NaN, NaN, NaN, true}};
    expect_clean_render(report_with({empty, undefined}), "empty");
}

TEST_F(ReportFigureTest, SixteenCurvesRender) {
    enter_with(4, {});
    std::vector<CurveResult> curves;
    for (int i = 0; i < PLOTS; ++i)
        curves.push_back(falling_curve("curve" + std::to_string(i + 1) + ".txt", 13));
    expect_clean_render(report_with(curves), "sixteen");
}

// Images of an earlier run must not pass for this one's: a script edited down to nothing
// runs without error but draws nothing. A script that is missing is gnuplot's complaint,
// on standard error.
TEST_F(ReportFigureTest, RenderFailsWithoutFreshImages) {
    enter_with(
        5,
        {{"old.gp", "# the drawing was taken out\n"}, {"old.svg", "<svg/>"}, {"old.png", "png"}});
    FigureRenderer renderer;
    ASSERT_TRUE(renderer.available());
    EXPECT_FALSE(renderer.render("old.gp", "old"));

    StderrCapture capture("gnuplot-messages.txt");
    FigureRenderer second;
    const bool rendered = second.render("missing.gp", "missing");
    const std::string messages = capture.finish();
    EXPECT_FALSE(rendered);
    EXPECT_NE(messages.find("missing.gp"), std::string::npos) << messages;
}

// A gnuplot that quits before it is fed must not take the report down with SIGPIPE, nor
// leave it waiting; one that is not on PATH leaves the renderer idle.
TEST_F(ReportFigureTest, GnuplotThatDiesEarlyOrIsMissingIsSurvived) {
    enter_with(6, {{"bin/", ""}, {"bin/gnuplot", "#!/bin/sh\nexit 0\n"}});
    ASSERT_TRUE(write_figure_script(report_with({falling_curve("c.txt", 13)}), "fit", "fit.gp"));
    fs::permissions("bin/gnuplot", fs::perms::owner_all);
    const std::string saved_path = getenv("PATH");
    setenv("PATH", (fs::current_path() / "bin").c_str(), 1);
    {
        FigureRenderer quitter;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // it has exited by now
        EXPECT_FALSE(quitter.render("fit.gp", "fit"));
    }
    setenv("PATH", (fs::current_path() / "nowhere").c_str(), 1);
    FigureRenderer missing;
    setenv("PATH", saved_path.c_str(), 1);
    EXPECT_FALSE(missing.available());
    EXPECT_FALSE(missing.render("fit.gp", "fit"));
}

}  // namespace
