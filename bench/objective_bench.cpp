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
#include "tests/hamming_reference.h"

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
    ConstantSet ranges;
    ranges.constant_min[0] = bench_problems::km_min(problem);
    ranges.constant_max[0] = bench_problems::km_max(problem);
    ranges.constant_min[1] = bench_problems::vmax_min(problem);
    ranges.constant_max[1] = bench_problems::vmax_max(problem);
    load_workspace(&ranges, &set);
}

void BM_ObjectiveStep(benchmark::State& state) {
    load(step_problem());
    const double x[1] = {1.0};
    for (auto _ : state)
        benchmark::DoNotOptimize(sum_of_squares_in_systems(x, 1));
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

// Hamming's method for one equation written out with plain variables (the
// tests' reference): the speed of the dependency chain itself.
double reference_trajectory(double y0, double vmax, double km, double alpha) {
    auto method = hamming_reference::trajectory(hamming_reference::MichaelisMenten{km, vmax}, 0.01,
                                                hamming_reference::from_alpha(alpha));
    return method.after(y0, STEPS);
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
        benchmark::DoNotOptimize(sum_of_squares_in_systems(x, curves_per_system));
    state.counters["steps"] = bench_problems::curve_steps(problem);
}

BENCHMARK(BM_ObjectiveStep)->Unit(benchmark::kMicrosecond);

// n sets of constants (Km 1 % apart) evaluated together on the five-curve problem, as the
// statistics evaluate the points of a difference quotient: the "steps" counter is n
// evaluations' nominal curve-steps, so the summary gives the cost of the n sets against one alone.
void BM_ConstantSets(benchmark::State& state) {
    const Problem problem = bench_problems::long_problem();
    load(problem);
    const int n = static_cast<int>(state.range(0));
    double constants[MAX_CONSTANT_SETS][CONSTANTS], sums[MAX_CONSTANT_SETS],
        qualities[MAX_CONSTANT_SETS];
    for (int m = 0; m < n; ++m) {
        for (int j = 0; j < CONSTANTS; ++j)
            constants[m][j] = fit_workspace.rate_constants[j];
        constants[m][0] *= 1.0 + 0.01 * m;
    }
    for (auto _ : state) {
        sum_of_squares_of_sets(constants, n, sums, qualities);
        benchmark::DoNotOptimize(sums[0]);
    }
    state.counters["steps"] = n * bench_problems::curve_steps(problem);
}

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
// The fit programs' capacity of 16 equations holds three sets of the five curves.
BENCHMARK(BM_ConstantSets)->DenseRange(1, 3)->Unit(benchmark::kMicrosecond);

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
    const double alone = at("BM_ConstantSets/1");
    std::fprintf(stderr,
                 "long problem, sets of constants evaluated together: 2 sets cost %.2f times one "
                 "alone, 3 sets %.2f times\n",
                 2.0 * at("BM_ConstantSets/2") / alone, 3.0 * at("BM_ConstantSets/3") / alone);
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
