#include "report/figure_axes.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "report/figure_data.h"
#include "text/number_text.h"

namespace {

// Room above the residuals for the symmetric residual axis to breathe.
constexpr double RESIDUAL_HEADROOM = 1.2;
// Room at either end of a time axis, as a share of its span (or factor on a log axis), so
// that no point sits on the frame.
constexpr double TIME_ROOM = 0.03;
constexpr double VALUE_ROOM = 0.06;
constexpr double LOG_TIME_ROOM = 1.25;
// The tics of a log time axis: 1, 2 and 5 times each power of ten while they are few enough,
// else 1 and 3 times, else the powers alone; gnuplot's own beyond.
const std::vector<double> LOG_TIC_MULTIPLES[] = {{1.0, 2.0, 5.0}, {1.0, 3.0}, {1.0}};

bool usable(double value) {
    return std::isfinite(value) && value > 0.0;
}

// The tics from `from` to `to` at the multiples of each power of ten; empty when there would
// be more than `most`.
std::string log_tics(double from, double to, const std::vector<double>& multiples, int most) {
    std::string tics;
    int count = 0;
    for (int power = static_cast<int>(std::floor(std::log10(from)));
         power <= static_cast<int>(std::ceil(std::log10(to))); ++power) {
        for (double multiple : multiples) {
            const double tic = multiple * std::pow(10.0, power);
            if (tic < from || tic > to) continue;
            if (++count > most) return "";
            tics += (tics.empty() ? "" : ", ") + script_number(tic);
        }
    }
    return tics;
}

}  // namespace

std::string script_number(double value) {
    return number_text(value, DATA_PRECISION, NonFinite::R);
}

std::string joined(const std::vector<std::string>& elements) {
    std::string text;
    for (size_t i = 0; i < elements.size(); ++i)
        text += "        " + elements[i] + (i + 1 < elements.size() ? ", \\\n" : "\n");
    return text;
}

double round_step(double step) {
    const double decade = std::pow(10.0, std::floor(std::log10(step)));
    double best = decade;
    for (double multiple : {2.0, 5.0, 10.0}) {
        const double candidate = multiple * decade;
        if (std::fabs(std::log(candidate / step)) < std::fabs(std::log(best / step)))
            best = candidate;
    }
    return best;
}

// A symmetric residual axis shows at a glance whether the fit lies above or below; a few
// round tics keep a short panel legible.
std::string residual_axis(double largest, double tics_each_side) {
    const double limit = RESIDUAL_HEADROOM * largest;
    double step = round_step(limit / tics_each_side);
    if (step > limit) step = round_step(step / 2.2);  // the next round step down
    if (!usable(limit) || !usable(step) || !drawable(limit))
        return "    set yrange [-1:1]\n    set ytics autofreq\n";
    const std::string text = script_number(limit);
    return "    set yrange [-" + text + ":" + text + "]\n    set ytics " + script_number(step) +
           "\n";
}

std::string value_axis(double low, double high, int tics) {
    low = std::min(low, 0.0);
    if (!(low <= high) || !drawable(low) || !drawable(high))
        return "    set yrange [0:1]\n    set ytics autofreq\n";
    double room = VALUE_ROOM * (high - low);
    if (!usable(room)) room = std::fabs(high) > 0.0 ? 0.1 * std::fabs(high) : 0.5;
    const double step = round_step((high - low + room) / tics);
    return "    set yrange [" + script_number(low < 0.0 ? low - room : 0.0) + ":" +
           script_number(high + room) + "]\n    set ytics " +
           (usable(step) && drawable(step) ? script_number(step) : "autofreq") + "\n";
}

std::string time_axis(double low, double high, int tics) {
    if (!(low <= high) || !drawable(low) || !drawable(high))
        return "    set xrange [0:1]\n    set xtics autofreq\n";
    double room = TIME_ROOM * (high - low);
    if (!usable(room)) room = std::fabs(low) > 0.0 ? 0.1 * std::fabs(low) : 0.5;
    const double step = round_step((high - low + 2.0 * room) / tics);
    return "    set xrange [" + script_number(low - room) + ":" + script_number(high + room) +
           "]\n    set xtics " +
           (usable(step) && drawable(step) ? script_number(step) : "autofreq") + "\n";
}

std::string log_time_axis(double low, double high, int most_tics) {
    if (!usable(low) || !usable(high) || !drawable(high * LOG_TIME_ROOM) || high < low)
        return "    set logscale x\n    set xrange [1:10]\n    set xtics autofreq\n";
    const double from = low / LOG_TIME_ROOM, to = high * LOG_TIME_ROOM;
    std::string tics;
    for (const std::vector<double>& multiples : LOG_TIC_MULTIPLES) {
        tics = log_tics(from, to, multiples, most_tics);
        if (!tics.empty()) break;
    }
    return "    set logscale x\n    set xrange [" + script_number(from) + ":" + script_number(to) +
           "]\n    set xtics " + (tics.empty() ? "autofreq" : "(" + tics + ")") + "\n";
}
