// velkor-import's decisions: time origin and S0, the time unit and the grid, the provisional
// estimate, the parameter file, the curve files' names and the folder written whole.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "import/curve_files.h"
#include "import/import_summary.h"
#include "import/parameter_text.h"
#include "import/problem_builder.h"
#include "import/problem_folder.h"
#include "import/provisional_fit.h"
#include "tests/support/scratch_dir.h"

namespace {

using namespace velkor_import;
namespace fs = std::filesystem;

formats::SourceCurve curve(const std::string& name, const char* time_unit, std::vector<double> t,
                           std::vector<double> s, std::optional<double> nominal = std::nullopt) {
    formats::SourceCurve c;
    c.name = name;
    c.conc = *formats::concentration_unit("uM");
    c.time = *formats::time_unit(time_unit);
    c.nominal_s0 = nominal;
    c.nominal_from = "header";
    c.places = "line";
    for (std::size_t i = 0; i < t.size(); ++i)
        c.points.push_back({t[i], s[i], static_cast<int>(i) + 2});
    return c;
}

Problem build(std::vector<formats::SourceCurve> curves, BuildOptions options = {}) {
    formats::Dataset set{"t.csv", "table", "", std::move(curves), {}};
    return build_problem(set, options);
}

std::vector<double> times(const ProblemCurve& c) {
    std::vector<double> t;
    for (const Point& p : c.points)
        t.push_back(p.time);
    return t;
}

}  // namespace

TEST(TimeGrid, UnitKeepsTimesOnTheGridAtTheFewestSteps) {
    // Every 30 s: on the grid in s (6000 steps for 60 s) and in min (1 min: 100 steps); not in h.
    Problem p = build({curve("a", "s", {0, 30, 60}, {5, 4, 3})});
    EXPECT_EQ(p.time.name, "min");
    EXPECT_EQ(times(p.curves[0]), (std::vector<double>{0, 0.5, 1}));
    EXPECT_EQ(p.steps, 100);
    // Every 8 s: 8/60 min is off the grid, so seconds; steps add up over curves: 1600 + 800.
    p = build({curve("a", "s", {0, 8, 16}, {5, 4, 3}), curve("b", "s", {0, 8}, {5, 4})});
    EXPECT_EQ(p.time.name, "s");
    EXPECT_EQ(p.steps, 2400);
    EXPECT_EQ(p.largest_shift, 0);
    // Asked for minutes: 8 s = 0.1333 min is written 0.13, a shift of 1/300 min.
    BuildOptions minutes;
    minutes.time_unit = formats::time_unit("min");
    p = build({curve("a", "s", {0, 8, 16}, {5, 4, 3})}, minutes);
    EXPECT_EQ(times(p.curves[0]), (std::vector<double>{0, 0.13, 0.27}));
    EXPECT_NEAR(p.largest_shift, 1.0 / 300, 1e-12);
    // In minutes 0.5 s and 1 s fall inside the four start-up steps (0.01, 0.02), and 6.2 s
    // lands on 0.10 with 6 s.
    p = build({curve("a", "s", {0, 0.5, 1, 6, 6.2, 12}, {5, 4.9, 4.8, 4.7, 4.6, 4})}, minutes);
    EXPECT_EQ(times(p.curves[0]), (std::vector<double>{0, 0.1, 0.2}));
    ASSERT_EQ(p.curves[0].left_out.size(), 3u);
    EXPECT_EQ(p.curves[0].left_out[0].where, "line 3");
    EXPECT_EQ(p.curves[0].left_out[1].reason,
              "before 0.04 min, inside the integrator's four start-up steps");
    EXPECT_EQ(p.curves[0].left_out[2].where, "line 6");
    EXPECT_EQ(p.curves[0].left_out[2].reason,
              "on the 0.01 grid at the time of the point before (0.1 min)");
}

TEST(ProblemBuilder, TimeZeroAndS0FollowTheNominalConcentration) {
    // First sample at 0.5 min, S0 10 known: point "0 10" added, later times as they are.
    const auto late = curve("a", "min", {1.5, 0.5, 3.5}, {8, 9, 6}, 10.0);
    Problem p = build({late});
    const ProblemCurve& c = p.curves[0];
    EXPECT_EQ(c.s0, 10);
    EXPECT_TRUE(c.added_point_0);
    EXPECT_EQ(times(c), (std::vector<double>{0, 0.5, 1.5, 3.5}));
    EXPECT_EQ(c.points[1].value, 9);  // sorted by time
    // From the first point: S0 9, times counted from 0.5 (recorded as the shift).
    BuildOptions first;
    first.s0_from = S0From::first;
    p = build({late}, first);
    EXPECT_EQ(p.curves[0].s0, 9);
    EXPECT_EQ(p.curves[0].time_shift, 0.5);
    EXPECT_EQ(times(p.curves[0]), (std::vector<double>{0, 1, 3}));
    // A sample before mixing is left out; a sample at 0 is point 0 itself; a repeated time too.
    p = build({curve("a", "min", {-1, 0, 1, 1}, {10, 9.9, 9, 8.9}, 10.0)});
    EXPECT_FALSE(p.curves[0].added_point_0);
    EXPECT_EQ(times(p.curves[0]), (std::vector<double>{0, 1}));
    ASSERT_EQ(p.curves[0].left_out.size(), 2u);
    EXPECT_EQ(p.curves[0].left_out[0].reason, "same time as line 4");
    EXPECT_EQ(p.curves[0].left_out[1].reason, "before time 0, when S0 was mixed");
    // A blank (S0 0) and a curve starting at or below 0 are left out, with their reasons.
    p = build({curve("blank", "min", {0, 1}, {0, 0}, 0.0), curve("neg", "min", {0, 1}, {-0.1, 1}),
               curve("ok", "min", {0, 1}, {2, 1})});
    ASSERT_EQ(p.curves.size(), 1u);
    EXPECT_EQ(p.curves_left_out[0], "'blank': a blank (S0 = 0, header)");
    EXPECT_EQ(p.curves_left_out[1], "'neg': S0 -0.1 (first point) is not above 0");
    EXPECT_EQ(p.conc.name, "uM");
    BuildOptions milli;
    milli.conc_unit = formats::concentration_unit("mM");
    EXPECT_EQ(build({curve("a", "min", {0, 1}, {9.699, 8})}, milli).curves[0].s0, 0.009699);
}

TEST(ProvisionalFit, ExactForClosedFormCurves) {
    // t(S) = (S0 - S + Km ln(S0 / S)) / Vmax solves dS/dt = -Vmax S / (Km + S) exactly.
    const double km = 40, vmax = 1.2;
    Problem p;
    for (double s0 : {10.0, 40.0, 160.0}) {
        ProblemCurve c;
        c.s0 = s0;
        c.points.push_back({0, s0, 0});
        for (double f : {0.9, 0.7, 0.5, 0.3})
            c.points.push_back({(s0 - f * s0 + km * std::log(1 / f)) / vmax, f * s0, 0});
        p.curves.push_back(c);
    }
    const FreeFit fit = provisional_free_fit(p);
    EXPECT_NEAR(fit.km, km, 1e-9 * km);
    EXPECT_NEAR(fit.vmax, vmax, 1e-9 * vmax);
    EXPECT_LT(fit.km_se, 1e-6);
    // A curve that does not bend cannot tell Km from Vmax: the rough guess, errors unknown.
    Problem flat;
    flat.curves.push_back({});
    flat.curves[0].s0 = 8;
    flat.curves[0].points = {{0, 8, 0}, {2, 6, 0}};
    const FreeFit rough = provisional_free_fit(flat);
    EXPECT_EQ(rough.km, 8);
    EXPECT_EQ(rough.vmax, 1);  // (8 - 6) / 2
    EXPECT_TRUE(std::isnan(rough.km_se));
}

TEST(ParameterFile, RangesAroundTheEstimateAndNoKeywordInComments) {
    EXPECT_EQ(centred_range(40, 1.5).low, 37);
    EXPECT_EQ(centred_range(40, 1.5).high, 43);
    EXPECT_EQ(centred_range(40, 30).low, 20);  // at most half the value
    EXPECT_EQ(centred_range(40, NAN).high, 60);
    Problem p;
    p.conc = *formats::concentration_unit("uM");
    p.time = *formats::time_unit("min");
    p.curves.resize(2);
    p.curves[0].file = "a.txt";
    p.curves[1].file = "b.txt";
    const FreeFit fit{40, 1.5, 1.2, 0.05, "a test"};
    const std::string text = parameter_file_text(p, fit, "my const\tplot.csv");
    std::istringstream lines(text);
    std::string line, data;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word;
        if (line[0] != '#') {
            data += line + "\n";
            continue;
        }
        while (words >> word)
            for (const char* k :
                 {"integration_steps", "max_iterations", "max_error", "const", "plot"})
                EXPECT_NE(word, k) << line;
    }
    EXPECT_EQ(data,
              "integration_steps 1000\nmax_iterations 200\nmax_error 1e-6\nconst 0 37 40 43\n"
              "const 1 1.1 1.2 1.3\nplot a.txt\nplot b.txt\n");
}

TEST(CurveFiles, NamesSafeUniqueAndTextAsVelkorReadsIt) {
    EXPECT_EQ(safe_file_stem("../../etc/passwd"), "etc_passwd");
    EXPECT_EQ(safe_file_stem("50 \xC2\xB5M (rep 2)"), "50_uM_rep_2");
    EXPECT_EQ(safe_file_stem("..."), "curve");
    EXPECT_EQ(safe_file_stem(std::string(100, 'x')).size(), 60u);
    Problem p;
    p.conc = *formats::concentration_unit("mM");
    p.time = *formats::time_unit("s");
    for (const char* name : {"A1", "a1", "params", "A1"})
        p.curves.push_back({}), p.curves.back().label = name;
    assign_file_names(p);
    EXPECT_EQ(p.curves[0].file, "A1.txt");
    EXPECT_EQ(p.curves[1].file, "a1_2.txt");
    EXPECT_EQ(p.curves[2].file, "params_2.txt");
    EXPECT_EQ(p.curves[3].file, "A1_3.txt");
    ProblemCurve& c = p.curves[0];
    c.s0 = 0.5;
    c.s0_from = "header";
    c.points = {{0, 0.4955, 0}, {5, 0.4093, 0}};
    EXPECT_EQ(
        curve_file_text(c, p),
        "# A1\n# S0 from: header; concentrations in mM, times in s\n0.5\n0 0.4955\n5 0.4093\n");
}

TEST(Summary, SaysWhereVelkorsLimitsCutTheProblem) {
    std::vector<formats::SourceCurve> curves;
    std::vector<double> t, s;
    for (int i = 0; i < 300; ++i)
        t.push_back(i), s.push_back(299 - i);
    for (int c = 0; c < 17; ++c)
        curves.push_back(curve("c" + std::to_string(c), "s", t, s));
    const Problem p = build(curves);
    const std::string text = import_summary({"t.csv", "table", "", {}, {}}, p, {1, 0, 1, 0, "m"});
    EXPECT_NE(text.find("velkor reads the first 16 plot lines: it fits 16 of these 17 curves"),
              std::string::npos);
    EXPECT_NE(text.find("velkor reads 256 points per curve: curves of up to 300 points are cut"),
              std::string::npos);
    EXPECT_NE(text.find("17 points with a concentration of 0 or below"), std::string::npos)
        << text;  // the last point of each curve is 0: written, not compared
}

TEST(ProblemFolder, WrittenWholeOrNotAtAll) {
    testing_support::ScratchDir scratch("velkor-import");
    const Files files = {{"params.txt", "p\n"}, {"a.txt", "1\n"}};
    const auto only = [](const fs::path& dir) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    write_problem_folder("out", files, false);
    EXPECT_EQ(only("."), std::vector<std::string>{"out"});
    EXPECT_EQ(only("out"), (std::vector<std::string>{"a.txt", "params.txt"}));
    write_problem_folder("out", files, false);  // only its own files there: replaced
    std::ofstream("out/out.dat") << "a fit's trace\n";
    EXPECT_THROW(write_problem_folder("out", files, false), formats::InputError);
    EXPECT_EQ(only("out"), (std::vector<std::string>{"a.txt", "out.dat", "params.txt"}));
    write_problem_folder("out/", files, true);
    EXPECT_EQ(only("out"), (std::vector<std::string>{"a.txt", "params.txt"}));
    // A folder that cannot be made leaves nothing behind, not even the folders above it.
    std::ofstream("plain") << "x";
    EXPECT_THROW(write_problem_folder("plain/out", files, false), WriteError);
    EXPECT_THROW(write_problem_folder("plain/x/out", files, false), WriteError);
    EXPECT_THROW(write_problem_folder("plain", files, true), formats::InputError);
    write_problem_folder("made/for/it", files, false);  // folders above made
    EXPECT_EQ(only("made/for/it"), (std::vector<std::string>{"a.txt", "params.txt"}));
    fs::remove_all("made");
    EXPECT_EQ(only("."), (std::vector<std::string>{"out", "plain"}));
}
