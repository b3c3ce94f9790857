// Speed of the hot path: the integrator step as the objective takes it, the
// same step through the function-pointer interface, the bare dependency chain
// of the arithmetic, and whole evaluations of the objective.
//
// The objective prints a line per evaluation: standard output goes to
// /dev/null while the benchmarks run, and the reports go to standard error.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>

#include "bench/problems.h"
#include "simulation/integrator.h"
#include "simulation/model.h"
#include "simulation/objective.h"
#include "simulation/workspace.h"

namespace {

using bench_problems::Problem;

constexpr long STEPS = 100000;  // one trajectory of the step benchmarks

// One curve of 100,000 steps that stays in the normal range of doubles.
Problem step_problem() {
    return {"step", 1.0, 0.05, 1, {{100.0, 1000.0, 101}}};
}

PlotSet& plots() {
    static PlotSet* set = new PlotSet();
    return *set;
}

// Fills the records and the workspace as the fit driver does, Km and Vmax
// at the middle of their ranges.
void load(const Problem& problem) {
    PlotSet& set = plots();
    set.plotCount = problem.curves;
    for (int c = 0; c < problem.curves; ++c) {
        Plot& plot = set.plot[c];
        plot.pointCount = problem.curve[c].points;
        plot.initialConcentration = problem.curve[c].s0;
        for (int i = 0; i < plot.pointCount; ++i) {
            plot.point[i].time = bench_problems::point_time(problem.curve[c], i);
            plot.point[i].concentration[0] = bench_problems::measured(problem, c, i);
        }
    }
    FitWorkspace& ws = fit_workspace;
    ws.plot_set = &set;
    ws.constant_mid[0] = (bench_problems::km_max(problem) + bench_problems::km_min(problem)) / 2.0;
    ws.constant_mid[1] =
        (bench_problems::vmax_max(problem) + bench_problems::vmax_min(problem)) / 2.0;
    for (int c = 0; c < set.plotCount; ++c)
        for (int i = 0; i < set.plot[c].pointCount; ++i)
            ws.point_time[c][i] = set.plot[c].point[i].time;
    for (int j = 0; j < CONSTANTS; ++j)
        ws.rate_constants[j] = ws.constant_mid[j];
}

void BM_ObjectiveStep(benchmark::State& state) {
    load(step_problem());
    const double x[1] = {1.0};
    for (auto _ : state)
        benchmark::DoNotOptimize(fit_objective_in_systems(x, 1));
    state.counters["steps"] = STEPS;
}

void BM_HammingStepPointer(benchmark::State& state) {
    load(step_problem());
    fit_workspace.initial_conc[0] = 100.0;
    for (auto _ : state) {
        double t = 0.0;
        double y[1] = {100.0};
        hamming_step(1, 1, 0.01, &t, y, 0.0, model_rate);
        for (long s = 4; s < STEPS; ++s)
            hamming_step(0, 1, 0.01, &t, y, 0.0, model_rate);
        benchmark::DoNotOptimize(y[0]);
    }
    state.counters["steps"] = STEPS;
}

// Hamming's step for one equation written as one straight loop of locals:
// the speed of the dependency chain itself.
double reference_trajectory(double y0, double vmax, double km, double alpha) {
    const double a0 = 9.0 * (1.0 - alpha) / 8.0, a1 = alpha, a2 = (alpha - 1.0) / 8.0;
    const double b0 = (9.0 - alpha) / 24.0, b1 = (7.0 * alpha + 9.0) / 12.0;
    const double b2 = (17.0 * alpha - 9.0) / 24.0;
    const double q = 121.0 - 5.0 * alpha;
    const double m = 112.0 / q, e = (9.0 - 5.0 * alpha) / q;
    const double h = 0.01, hp = 4.0 * h / 3.0, hh = 0.5 * h, h6 = h / 6.0;
    auto rate = [=](double y) { return (-vmax * y) / (km + y); };
    auto runge_kutta = [&](double y) {
        const double k1 = rate(y);
        const double k2 = rate(hh * k1 + y);
        double sum = 2.0 * k2 + k1;
        const double k3 = rate(hh * k2 + y);
        sum = 2.0 * k3 + sum;
        return (sum + rate(h * k3 + y)) * h6 + y;
    };
    double y3 = runge_kutta(y0);
    double y2 = runge_kutta(y3);
    double f2 = rate(y2);
    double y1 = runge_kutta(y2);
    double f1 = rate(y1);
    double y = runge_kutta(y1);
    double d = 0.0;
    for (long s = 4; s < STEPS; ++s) {
        const double fj = (-vmax * y) / (km + y);
        const double p = (2.0 * (fj + f2) - f1) * hp + y3;
        f2 = f1;
        f1 = fj;
        y3 = y2;
        y2 = y1;
        y1 = y;
        const double ym = p - m * d;
        const double fn = (-vmax * ym) / (km + ym);
        const double c = ((a0 * y1 + a1 * y2) + a2 * y3) + ((b0 * fn + b1 * f1) + b2 * f2) * h;
        d = p - c;
        y = e * d + c;
    }
    return y;
}

void BM_ReferenceStep(benchmark::State& state) {
    load(step_problem());
    double vmax = fit_workspace.rate_constants[1], km = fit_workspace.rate_constants[0];
    double y0 = 100.0, alpha = 0.0;
    for (auto _ : state) {
        // Opaque inputs: nothing is folded at compile time that the objective computes.
        benchmark::DoNotOptimize(vmax);
        benchmark::DoNotOptimize(km);
        benchmark::DoNotOptimize(y0);
        benchmark::DoNotOptimize(alpha);
        benchmark::DoNotOptimize(reference_trajectory(y0, vmax, km, alpha));
    }
    state.counters["steps"] = STEPS;
}

// One evaluation; curves_per_system 1 integrates the curves one at a time.
void BM_Objective(benchmark::State& state, Problem problem, int curves_per_system) {
    load(problem);
    const double x[1] = {1.0};
    for (auto _ : state)
        benchmark::DoNotOptimize(fit_objective_in_systems(x, curves_per_system));
    state.counters["steps"] = bench_problems::curve_steps(problem);
}

BENCHMARK(BM_ObjectiveStep)->Unit(benchmark::kMicrosecond);

// n copies of the step problem's curve integrated together: the cost of one
// step of a system against the number of its equations.
void BM_SystemOf(benchmark::State& state) {
    Problem problem = step_problem();
    problem.curves = static_cast<int>(state.range(0));
    for (int c = 1; c < problem.curves; ++c)
        problem.curve[c] = problem.curve[0];
    load(problem);
    const double x[1] = {1.0};
    for (auto _ : state)
        benchmark::DoNotOptimize(fit_objective(x));
    state.counters["steps"] = STEPS;
}
BENCHMARK(BM_SystemOf)->DenseRange(1, 6)->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HammingStepPointer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReferenceStep)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Objective, large_one_by_one, bench_problems::large_problem(), 1)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Objective, large_together, bench_problems::large_problem(), PLOTS)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Objective, long_one_by_one, bench_problems::long_problem(), 1)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Objective, long_together, bench_problems::long_problem(), PLOTS)
    ->Unit(benchmark::kMicrosecond);

// Collects nanoseconds per step (the "steps" counter of each run) for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    SummaryReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double ns =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
            const auto steps = run.counters.find("steps");
            if (steps != run.counters.end()) per_step[run.benchmark_name()] = ns / steps->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> per_step;
};

void print_summary(const std::map<std::string, double>& ns) {
    auto at = [&](const char* name) {
        const auto it = ns.find(name);
        return it == ns.end() ? 0.0 : it->second;
    };
    std::fprintf(stderr,
                 "\nns per step: objective %.3f, hamming_step via pointer %.3f, reference %.3f\n",
                 at("BM_ObjectiveStep"), at("BM_HammingStepPointer"), at("BM_ReferenceStep"));
    std::fprintf(stderr, "objective step / reference: %.3f\n",
                 at("BM_ObjectiveStep") / at("BM_ReferenceStep"));
    for (const char* problem : {"large", "long"}) {
        const std::string base = std::string("BM_Objective/") + problem;
        const double one = at((base + "_one_by_one").c_str());
        const double together = at((base + "_together").c_str());
        std::fprintf(stderr,
                     "%s problem, ns per curve-step: one curve at a time %.3f, together %.3f "
                     "(%.2fx)\n",
                     problem, one, together, one / together);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The reference must compute what the objective computes, bit for bit.
    load(step_problem());
    const double x[1] = {1.0};
    fit_objective(x);
    const double sampled = fit_workspace.sim_value[0][100];
    if (reference_trajectory(100.0, fit_workspace.rate_constants[1],
                             fit_workspace.rate_constants[0], 0.0) != sampled) {
        std::fprintf(stderr, "reference and objective differ\n");
        return 1;
    }
    if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    print_summary(reporter.per_step);
    return 0;
}
