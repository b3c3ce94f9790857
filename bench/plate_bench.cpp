// The cost of one evaluation of a whole plate as the companions make it, against the number
// of curves: 16, 96 and 384 curves of the same shape, integrated together as one system.
// The time per curve should not grow with the number of curves.
#include <benchmark/benchmark.h>

#include <memory>

#include "simulation/objective.h"
#include "simulation/workspace.h"
#include "tests/support/michaelis_menten.h"

namespace {

constexpr double KM = 8.0, VMAX = 0.5;  // µM, µM/s
constexpr int POINTS_PER_CURVE = 61;    // every 2 s over 120 s
constexpr double INTERVAL = 2.0;

// Curve c starts at one of eight concentrations from 2.5 to 500 µM, as a plate row does.
double start_of(int c) {
    const double row[] = {2.5, 5, 10, 25, 50, 100, 250, 500};
    return row[c % 8];
}

void load(int curves) {
    static PlotSet* plots = new PlotSet(PlotSet::Silent{});
    plots->plotCount = curves;
    for (int c = 0; c < curves; ++c) {
        Plot& plot = plots->plot[c];
        plot.initialConcentration = start_of(c);
        plot.pointCount = POINTS_PER_CURVE;
        for (int i = 0; i < POINTS_PER_CURVE; ++i) {
            plot.point[i].time = INTERVAL * i;
            plot.point[i].concentration[0] =
                testing_support::substrate_at(start_of(c), KM, VMAX, INTERVAL * i);
        }
    }
    static ConstantSet ranges{};
    ranges.constant_min[0] = 4.0;
    ranges.constant_max[0] = 12.0;
    ranges.constant_min[1] = 0.4;
    ranges.constant_max[1] = 0.6;
    load_workspace(&ranges, plots);
}

void BM_PlateEvaluation(benchmark::State& state) {
    const int curves = static_cast<int>(state.range(0));
    load(curves);
    const double x[1] = {1.0};
    for (auto _ : state)
        benchmark::DoNotOptimize(sum_of_squares_at(x));
    state.counters["curves"] = curves;
    state.counters["us_per_curve"] = benchmark::Counter(
        curves, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_PlateEvaluation)->Arg(16)->Arg(96)->Arg(384)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
