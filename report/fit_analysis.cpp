#include "report/fit_analysis.h"

#include <limits>

#include "report/curve_results.h"
#include "report/fit_warnings.h"
#include "simulation/workspace.h"
#include "statistics/child_work.h"
#include "statistics/free_fit_beside.h"
#include "statistics/held_fit.h"
#include "statistics/range_end_refits.h"

void analyse_fit(const ConstantSet& constants, PlotSet& plots,
                 const std::vector<std::string>& files, FitReport& report) {
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    report.ranges = constants;
    load_workspace(&constants, &plots);

    // The free fit goes to the other core at once; the points it compares are known from
    // the times alone, so one evaluation at the midpoints gives their number.
    const double start = 1.0;
    const int n = static_cast<int>(evaluate(space_with_free({0}), &start).compared.size());
    FreeFitBeside free(n);
    // The refits at the ranges' ends go to a process of their own as well: two cores share
    // three processes, and none waits for another until the end.
    ChildWork refits_beside([&constants](const ChildWork::Sender& send) {
        const RangeEndRefits refits = range_end_refits(constants);
        ChildWork::Message values;
        for (int j = 1; j < CONSTANTS; ++j)
            for (int end = 0; end < 2; ++end)
                values.push_back(refits.at[j][end]);
        send(values);
    });
    const HeldFit held = held_fit(fit_workspace.constant_mid);
    report.sum_of_squares = held.at_fit.sum_of_squares;
    report.quality = held.at_fit.quality;
    for (int j = 0; j < CONSTANTS; ++j)
        report.constants[j] = held.at_fit.constants[j];
    fill_curves(held.at_fit, report);
    for (size_t p = 0; p < report.curves.size() && p < files.size(); ++p)
        report.curves[p].file = files[p];
    report.residual_sd = held.residual_sd;
    draw_curves(held.at_fit.constants, report);
    report.standard_error = held.standard_error;
    report.ci95[0] = held.interval.lower.end();
    report.ci95[1] = held.interval.upper.end();
    report.runs = held.runs;

    for (int j = 0; j < CONSTANTS; ++j)
        report.at_range_ends[j][0] = report.at_range_ends[j][1] = NaN;
    ChildWork::Message refits;
    if (report.points_compared >= 1 && refits_beside.receive(refits) &&
        refits.size() == 2 * (CONSTANTS - 1)) {
        for (int j = 1; j < CONSTANTS; ++j)
            for (int end = 0; end < 2; ++end)
                report.at_range_ends[j][end] = refits[2 * (j - 1) + end];
    }
    report.free_fit = free.result();
    report.beyond_fit_program =
        warn_beyond_fit_program(static_cast<int>(files.size()), plots, report);
    warn_about_fit(held, report);
}
