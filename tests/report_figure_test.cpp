// The point table and the figure: the table read back cell by cell, and the script rendered
// by the real gnuplot for reports that are awkward in every way the input allows.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "outputs/gnuplot_process.h"
#include "report/figure_axes.h"
#include "report/figure_layout.h"
#include "report/figure_script.h"
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

// `count` curves whose initial concentrations spread over `starts`-fold from 20 and whose
// last times spread over `spans`-fold from 100; measured 2 % above the simulation.
std::vector<CurveResult> spread_curves(size_t count, double starts, double spans) {
    std::vector<CurveResult> curves;
    for (size_t i = 0; i < count; ++i) {
        const double share = count > 1 ? static_cast<double>(i) / (count - 1) : 0.0;
        const double s0 = 20.0 * std::pow(starts, share), last = 100.0 * std::pow(spans, share);
        CurveResult curve{};
        curve.file = "c" + std::to_string(i + 1) + ".txt";
        curve.initial_concentration = s0;
        for (int k = 0; k <= 7; ++k) {
            const double t = last * k / 7.0, s = s0 * std::exp(-t / last);
            curve.points.push_back({t, 1.02 * s, s, k > 0});
        }
        for (int k = 0; k <= 70; ++k) {
            curve.sim_time.push_back(last * k / 70.0);
            curve.sim_value.push_back(s0 * std::exp(-k / 70.0));
        }
        curves.push_back(curve);
    }
    return curves;
}

// Michaelis and Menten's 333 mM curve: six readings in two hours, the last at 1,052 min.
void crowd(CurveResult& curve) {
    const double times[] = {0, 7, 14, 26, 49, 75, 117, 1052};
    for (size_t k = 0; k < curve.points.size(); ++k)
        curve.points[k].time = times[k];
}

// The script's data blocks by name, each row as numbers.
std::map<std::string, std::vector<std::vector<double>>> blocks_of(const std::string& script) {
    std::map<std::string, std::vector<std::vector<double>>> blocks;
    std::istringstream lines(script);
    std::string line, name;
    while (std::getline(lines, line)) {
        if (line.size() > 7 && line[0] == '$' && line.compare(line.size() - 7, 7, " << EOD") == 0) {
            name = line.substr(1, line.size() - 8);
            blocks[name];
        } else if (line == "EOD") {
            name.clear();
        } else if (!name.empty() && !line.empty()) {
            std::istringstream row(line);
            blocks[name].emplace_back(std::istream_iterator<double>(row),
                                      std::istream_iterator<double>());
        }
    }
    return blocks;
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

void expect_rows(const std::vector<std::vector<double>>& written,
                 const std::vector<std::vector<double>>& expected) {
    ASSERT_EQ(written.size(), expected.size());
    for (size_t r = 0; r < written.size(); ++r) {
        ASSERT_EQ(written[r].size(), expected[r].size()) << "row " << r;
        for (size_t k = 0; k < written[r].size(); ++k)
            EXPECT_NEAR(written[r][k], expected[r][k], 1e-9 * std::fabs(expected[r][k]))
                << "row " << r << ", column " << k;
    }
}

// Renders the report's script; expects success, both images, and not a word from gnuplot
// (a warning would mean an empty block was plotted, which stops gnuplot when it is alone).
void expect_clean_render(const FitReport& report, const std::string& prefix,
                         const std::string& picture = "auto") {
    ASSERT_TRUE(
        write_figure_script(report, choose_layout(report, picture), prefix, prefix + ".gp"));
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
    for (const char* picture : {"overlay", "panels", "normalised"})
        expect_clean_render(
            report, "out dir/it's a \"fit\"\nof `touch injected`" + std::string(picture), picture);
    EXPECT_FALSE(fs::exists("injected"));
}

TEST_F(ReportFigureTest, ReportWithoutAnythingToDrawStillRenders) {
    enter_with(3, {});
    FitReport report = report_with({});
    report.time_unit = report.conc_unit = "";
    CurveResult empty{};
    empty.file = "empty.txt";
    CurveResult undefined{};
    undefined.points = {{NaN, NaN, NaN, true}};
    for (const std::string picture : {"overlay", "panels", "normalised"}) {
        expect_clean_render(report, "none-" + picture, picture);
        expect_clean_render(report_with({empty, undefined}), "empty-" + picture, picture);
    }
}

TEST(ReportFigureLayout, FollowsWhatTheCurvesDifferIn) {
    struct Case {
        size_t curves;
        double starts, spans;
        const char* asked;
        Picture picture;
        bool log_time;
    };
    const Case cases[] = {
        {5, 16, 13.3, "auto", Picture::PANELS, false},  // Michaelis and Menten's spans
        {30, 16, 13.3, "auto", Picture::NORMALISED, true},
        {8, 200, 1, "auto", Picture::NORMALISED, false},  // a plate
        {8, 16, 9, "auto", Picture::OVERLAY, false},
        {30, 16, 13.3, "panels", Picture::NORMALISED, true},
        {5, 200, 13.3, "overlay", Picture::OVERLAY, false},
    };
    for (const Case& c : cases) {
        const FitReport report = report_with(spread_curves(c.curves, c.starts, c.spans));
        const FigureLayout layout = choose_layout(report, c.asked);
        EXPECT_EQ(layout.picture, c.picture) << c.curves << " curves, " << c.asked;
        EXPECT_EQ(layout.log_time, c.log_time) << c.curves << " curves, " << c.asked;
        EXPECT_NEAR(layout.span_ratio, c.spans, 1e-9 * c.spans);
        EXPECT_NEAR(layout.start_ratio, c.starts, 1e-9 * c.starts);
    }
    std::vector<CurveResult> early = spread_curves(30, 16, 13.3);
    early[0].points[0].time = -1.0;  // a log axis has no place for it
    EXPECT_FALSE(choose_layout(report_with(early), "auto").log_time);
}

// The blocks hold the report's numbers as drawn: over the initial concentration in the
// normalised picture, only times above 0 on its log axis.
TEST_F(ReportFigureTest, DataBlocksHoldTheReportsValuesAsDrawn) {
    enter_with(4, {});
    const FitReport report = report_with(spread_curves(5, 16, 13.3));
    for (const char* picture : {"overlay", "normalised"}) {
        const FigureLayout layout = choose_layout(report, picture);
        ASSERT_TRUE(write_figure_script(report, layout, "fit", "fit.gp"));
        const std::string script = contents("fit.gp");
        auto blocks = blocks_of(script);
        for (size_t c = 0; c < report.curves.size(); ++c) {
            const CurveResult& curve = report.curves[c];
            const double over =
                layout.picture == Picture::NORMALISED ? curve.initial_concentration : 1.0;
            std::vector<std::vector<double>> measured, residual, fitted;
            for (const PointRow& p : curve.points) {
                if (layout.log_time && p.time <= 0.0) continue;
                measured.push_back({p.time, p.measured / over, p.compared ? 1.0 : 0.0});
                if (p.compared) residual.push_back({p.time, (p.measured - p.simulated) / over});
            }
            for (size_t k = 0; k < curve.sim_time.size(); ++k)
                if (!layout.log_time || curve.sim_time[k] > 0.0)
                    fitted.push_back({curve.sim_time[k], curve.sim_value[k] / over});
            const std::string n = std::to_string(c + 1);
            SCOPED_TRACE(std::string(picture) + ", curve " + n);
            expect_rows(blocks["measured" + n], measured);
            expect_rows(blocks["residual" + n], residual);
            expect_rows(blocks["fitted" + n], fitted);
        }
        EXPECT_NE(script.find("\nname1 = '20 mM, c1.txt'\nname2 = '40 mM, c2.txt'\n"),
                  std::string::npos);
    }
}

// Keyed curves (16), a colour scale (17 and more), the most panels, one on a log time axis
// (doubling times), and 384 curves however they are laid out.
TEST_F(ReportFigureTest, EveryLayoutRendersUpTo384Curves) {
    enter_with(5, {});
    expect_clean_render(report_with(spread_curves(PLOTS, 16, 9)), "keyed");
    std::vector<CurveResult> panels = spread_curves(PANELS_AT_MOST, 200, 14);
    crowd(panels[0]);
    ASSERT_EQ(choose_layout(report_with(panels), "auto").picture, Picture::PANELS);
    expect_clean_render(report_with(panels), "panels");
    const FitReport plate = report_with(spread_curves(384, 200, 14));
    for (const char* picture : {"auto", "overlay", "panels"})
        expect_clean_render(plate, std::string("plate-") + picture, picture);
}

// Many curves: coloured by their initial concentrations on a log scale, each fitted curve
// thinned to a few hundred rows that still end where the simulation ends. A panel whose
// points crowd into its start gets a log time axis over its points.
TEST_F(ReportFigureTest, ManyCurvesAndCrowdedPanelsKeepTheirValues) {
    enter_with(8, {});
    std::vector<CurveResult> curves = spread_curves(384, 200, 1);
    for (CurveResult& curve : curves) {
        curve.sim_time.clear();
        curve.sim_value.clear();
        for (int k = 0; k <= 1000; ++k) {
            curve.sim_time.push_back(0.1 * k);
            curve.sim_value.push_back(curve.initial_concentration * std::exp(-0.001 * k));
        }
    }
    const FitReport plate = report_with(curves);
    ASSERT_TRUE(write_figure_script(plate, choose_layout(plate, "auto"), "plate", "plate.gp"));
    std::string script = contents("plate.gp");
    EXPECT_NE(script.find("\nset logscale cb\n"), std::string::npos);
    auto blocks = blocks_of(script);
    for (size_t c : {0, 383}) {
        const std::string n = std::to_string(c + 1);
        EXPECT_NE(script.find("\nset linetype " + n + " lc palette cb " +
                              script_number(curves[c].initial_concentration) + " "),
                  std::string::npos);
        const auto& fitted = blocks["fitted" + n];
        EXPECT_GE(fitted.size(), 100u);
        EXPECT_LE(fitted.size(), 200u);
        expect_rows({fitted.back()}, {{100.0, std::exp(-1.0)}});
    }

    std::vector<CurveResult> few = spread_curves(3, 16, 1);
    crowd(few[0]);
    const FitReport report = report_with(few);
    ASSERT_TRUE(write_figure_script(report, choose_layout(report, "panels"), "few", "few.gp"));
    script = contents("few.gp");
    EXPECT_NE(script.find("set logscale x\n    set xrange [5.6:1315]\n"
                          "    set xtics (10, 30, 100, 300, 1000)\n"),
              std::string::npos);
    EXPECT_EQ(script.find(" set logscale x"), script.rfind(" set logscale x"));  // one panel only
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
    const FitReport report = report_with({falling_curve("c.txt", 13)});
    ASSERT_TRUE(write_figure_script(report, choose_layout(report, "auto"), "fit", "fit.gp"));
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
