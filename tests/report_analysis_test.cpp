// The report's statistics against the closed-form progress curve: the standard error, the
// profile interval, R², the refits at the range ends and the free fit, each recomputed here
// from the Lambert-W solution instead of the integrator.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "report/fit_analysis.h"
#include "tests/support/michaelis_menten.h"

namespace {

using testing_support::substrate_at;

constexpr double KM = 0.8, VMAX = 0.05;
constexpr int CURVES = 3, POINTS_PER_CURVE = 13;
constexpr double STARTS[CURVES] = {0.5, 1.0, 2.0};
// F(0.95; 1, 35) from a printed table of the F distribution: 36 points compared, one fitted.
constexpr double F_95_1_35 = 4.1213;

double noise(int curve, int i) {
    return 0.003 * std::sin(2.3 * i + 1.1 * curve) * (i % 2 == 0 ? 1.0 : -1.0);
}

struct Problem {
    std::unique_ptr<PlotSet> plots = std::make_unique<PlotSet>();
    ConstantSet ranges{};

    Problem() {
        plots->plotCount = CURVES;
        for (int p = 0; p < CURVES; ++p) {
            Plot& plot = plots->plot[p];
            plot.initialConcentration = STARTS[p];
            plot.pointCount = POINTS_PER_CURVE;
            for (int i = 0; i < POINTS_PER_CURVE; ++i) {
                plot.point[i].time = 5.0 * i;
                plot.point[i].concentration[0] =
                    substrate_at(STARTS[p], KM, VMAX, 5.0 * i) + (i == 0 ? 0.0 : noise(p, i));
            }
        }
        ranges.constant_min[0] = 0.2;
        ranges.constant_max[0] = 2.0;
        ranges.constant_min[1] = 0.03;
        ranges.constant_max[1] = 0.07;
    }

    // The closed form at every compared point (all but point 0).
    std::vector<double> curve_values(double km, double vmax) const {
        std::vector<double> values;
        for (int p = 0; p < CURVES; ++p)
            for (int i = 1; i < POINTS_PER_CURVE; ++i)
                values.push_back(substrate_at(STARTS[p], km, vmax, 5.0 * i));
        return values;
    }
    std::vector<double> measured() const {
        std::vector<double> values;
        for (int p = 0; p < CURVES; ++p)
            for (int i = 1; i < POINTS_PER_CURVE; ++i)
                values.push_back(plots->plot[p].point[i].concentration[0]);
        return values;
    }
    double rss(double km, double vmax) const {
        const std::vector<double> sim = curve_values(km, vmax), v = measured();
        double sum = 0.0;
        for (size_t i = 0; i < v.size(); ++i)
            sum += (sim[i] - v[i]) * (sim[i] - v[i]);
        return sum;
    }
    // Derivatives of the closed form by central differences of relative step 1e-6.
    std::vector<double> jacobian(double km, double vmax, bool by_vmax) const {
        const double h = 1e-6 * (by_vmax ? vmax : km);
        const std::vector<double> up =
            by_vmax ? curve_values(km, vmax + h) : curve_values(km + h, vmax);
        const std::vector<double> down =
            by_vmax ? curve_values(km, vmax - h) : curve_values(km - h, vmax);
        std::vector<double> j(up.size());
        for (size_t i = 0; i < j.size(); ++i)
            j[i] = (up[i] - down[i]) / (2.0 * h);
        return j;
    }
};

double dot(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += a[i] * b[i];
    return sum;
}

// Where f changes sign between a and b, by bisection.
double bisect(const std::function<double(double)>& f, double a, double b) {
    const bool rising = f(b) > 0.0;
    for (int i = 0; i < 100; ++i) {
        const double m = 0.5 * (a + b);
        ((f(m) > 0.0) == rising ? b : a) = m;
    }
    return 0.5 * (a + b);
}

class ReportAnalysis : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        problem_ = new Problem();
        report_ = new FitReport{};
        analyse_fit(problem_->ranges, *problem_->plots, {}, *report_);
    }
    static void TearDownTestSuite() {
        delete report_;
        delete problem_;
    }
    static Problem* problem_;
    static FitReport* report_;
};
Problem* ReportAnalysis::problem_ = nullptr;
FitReport* ReportAnalysis::report_ = nullptr;

TEST_F(ReportAnalysis, ResidualSpreadAndRSquaredOfTheComparedPoints) {
    const FitReport& r = *report_;
    const double km = r.constants[0];
    EXPECT_EQ(r.points_compared, CURVES * (POINTS_PER_CURVE - 1));
    EXPECT_EQ(r.constants[1], VMAX);
    EXPECT_NEAR(km, KM, 0.01);
    const double rss = problem_->rss(km, VMAX);
    EXPECT_NEAR(r.sum_of_squares / rss, 1.0, 1e-6);
    EXPECT_NEAR(r.residual_sd, std::sqrt(rss / 35.0), 1e-9);
    const std::vector<double> v = problem_->measured();
    double mean = 0.0;
    for (double x : v)
        mean += x / v.size();
    double tss = 0.0;
    for (double x : v)
        tss += (x - mean) * (x - mean);
    EXPECT_NEAR(r.r_squared, 1.0 - rss / tss, 1e-9);
    // Point 0 of every curve is simulated but never compared.
    for (const CurveResult& curve : r.curves) {
        EXPECT_FALSE(curve.points[0].compared);
        EXPECT_EQ(curve.points_compared, POINTS_PER_CURVE - 1);
    }
}

TEST_F(ReportAnalysis, StandardErrorAndProfileIntervalMatchTheClosedForm) {
    const FitReport& r = *report_;
    const double km = r.constants[0];
    const double rss = problem_->rss(km, VMAX);
    const std::vector<double> j = problem_->jacobian(km, VMAX, false);
    const double se = std::sqrt(rss / 35.0 / dot(j, j));
    EXPECT_NEAR(r.standard_error / se, 1.0, 1e-4);

    const double level = rss * (1.0 + F_95_1_35 / 35.0);
    auto above = [&](double k) { return problem_->rss(k, VMAX) - level; };
    const double low = bisect(above, 0.5 * km, km), high = bisect(above, km, 1.5 * km);
    // The table's four decimals of F move the ends by less than 1e-6 of Km.
    EXPECT_NEAR(r.ci95[0], low, 2e-6 * km);
    EXPECT_NEAR(r.ci95[1], high, 2e-6 * km);
    EXPECT_LT(low, km - se);
    EXPECT_GT(high, km + se);
}

TEST_F(ReportAnalysis, RefitsAtTheEndsOfTheVmaxRangeAreMinimaOfTheirOwn) {
    const FitReport& r = *report_;
    for (int end = 0; end < 2; ++end) {
        const double vmax = end == 0 ? 0.03 : 0.07;
        const double km = r.at_range_ends[1][end];
        ASSERT_GT(km, 0.0);
        EXPECT_LT(problem_->rss(km, vmax), problem_->rss(km * 1.001, vmax));
        EXPECT_LT(problem_->rss(km, vmax), problem_->rss(km * 0.999, vmax));
    }
    // A smaller maximal rate needs a smaller Km to fall as fast.
    EXPECT_LT(r.at_range_ends[1][0], r.constants[0]);
    EXPECT_GT(r.at_range_ends[1][1], r.constants[0]);
}

TEST_F(ReportAnalysis, FreeFitIsTheLeastSquaresPointWithGaussNewtonErrors) {
    const FreeFit& f = report_->free_fit;
    ASSERT_TRUE(f.made);
    EXPECT_NEAR(f.constants[0], KM, 0.05);
    EXPECT_NEAR(f.constants[1], VMAX, 0.002);
    EXPECT_LE(problem_->rss(f.constants[0], f.constants[1]),
              problem_->rss(report_->constants[0], VMAX));
    EXPECT_NEAR(f.sum_of_squares / problem_->rss(f.constants[0], f.constants[1]), 1.0, 1e-6);

    const std::vector<double> jk = problem_->jacobian(f.constants[0], f.constants[1], false);
    const std::vector<double> jv = problem_->jacobian(f.constants[0], f.constants[1], true);
    const double a = dot(jk, jk), b = dot(jk, jv), d = dot(jv, jv);
    const double s2 = problem_->rss(f.constants[0], f.constants[1]) / 34.0;
    const double det = a * d - b * b;
    EXPECT_NEAR(f.covariance.standard_error(0) / std::sqrt(s2 * d / det), 1.0, 1e-3);
    EXPECT_NEAR(f.covariance.standard_error(1) / std::sqrt(s2 * a / det), 1.0, 1e-3);
    EXPECT_NEAR(f.covariance.correlation(0, 1), -b / std::sqrt(a * d), 1e-4);
}

}  // namespace
