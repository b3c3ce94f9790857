#include "compare/ranking.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/number_text.h"

double aicc(double rss, int n, int k) {
    if (n - k - 1 <= 0 || !(rss > 0.0) || !std::isfinite(rss))
        return std::numeric_limits<double>::quiet_NaN();
    return n * std::log(rss / n) + 2.0 * k + 2.0 * k * (k + 1) / (n - k - 1);
}

void rank(std::vector<LawFit>& fits) {
    for (LawFit& f : fits)
        f.aicc = aicc(f.sum_of_squares, f.n, f.k);
    std::stable_sort(fits.begin(), fits.end(), [](const LawFit& a, const LawFit& b) {
        return a.aicc < b.aicc || (!std::isnan(a.aicc) && std::isnan(b.aicc));
    });
    if (fits.empty()) return;
    double total = 0.0;
    for (LawFit& f : fits) {
        f.delta = f.aicc - fits.front().aicc;
        total += std::exp(-0.5 * f.delta);
    }
    for (LawFit& f : fits)
        f.weight = std::exp(-0.5 * f.delta) / total;
}

std::string verdict(const std::vector<LawFit>& ranked) {
    if (ranked.empty() || std::isnan(ranked.front().aicc))
        return "The laws cannot be ranked: too few points for the constants they fit.";
    const LawFit& best = ranked.front();
    const std::string weight = significant(best.weight, 3);
    if (ranked.size() == 1) return "Only " + best.law + " (" + best.program + ") was fitted.";
    const LawFit& next = ranked[1];
    const std::string delta = significant(next.delta, 3);
    if (next.delta < INDISTINCT)
        return "The data cannot tell " + best.law + " (" + best.program + ") from " + next.law +
               " (" + next.program + "): their AICc differ by " + delta + ", less than 2.";
    if (next.delta > DECISIVE)
        return "The data decisively support " + best.law + " (" + best.program +
               "): the next law, " + next.law + ", is " + delta +
               " higher in AICc (over 10), and the best law's Akaike weight is " + weight + ".";
    return "The data support " + best.law + " (" + best.program + ") over " + next.law + ", by " +
           delta +
           " in AICc (between 2 and 10: substantial, not decisive); its Akaike "
           "weight is " +
           weight + ".";
}
