#include "checks/curve_lines.h"

#include <climits>

namespace input_checks {

namespace {

constexpr int DATA_LINES = POINTS + 1;  // the initial concentration and the point slots

const char* const PLAIN_NUMBERS =
    "Write plain numbers separated by blanks, and put units in a line that starts with '#'.";
const char* const DECIMAL_POINT =
    "Separate the numbers with blanks and write decimals with a point (0.5, not 0,5).";
const char* const TIME_AND_CONCENTRATION =
    "Give each point a time and a concentration as plain numbers, separated by blanks (a note "
    "goes on a line that starts with '#').";

int as_line(long long physical) {
    return physical > INT_MAX ? INT_MAX : static_cast<int>(physical);
}

bool has_comma(const Extraction& e) {
    return e.word.find_first_of(",;") != std::string::npos;
}

// Why a point line was not read as "time concentration", clause by clause.
std::string reading_trouble(const Extraction& time, double t, const Extraction& conc, double c) {
    std::string why;
    if (time.partial)
        why = "the word " + quoted(time.word) + " is read only as far as " + number(t);
    const bool fromRest = time.partial && conc.word == time.rest;
    const std::string join = why.empty() ? "" : ", and ";
    if (conc.kind == Extraction::MISSING) {
        why += join + "nothing follows the time";
    } else if (conc.kind == Extraction::FAILED) {
        why += join + (fromRest ? "the rest of it, " + quoted(conc.word) + ", is no number"
                                : quoted(conc.word) + " is no number");
    } else if (fromRest) {
        why += join + "the rest of it, " + quoted(conc.word) + ", is taken as the concentration";
        if (conc.partial) why += " as far as " + number(c);
    } else if (conc.partial) {
        why += join + "the word " + quoted(conc.word) + " is read only as far as " + number(c);
    }
    return why;
}

const char* reading_advice(const Extraction& time, const Extraction& conc) {
    if (has_comma(time) || has_comma(conc)) return DECIMAL_POINT;
    if (time.partial || conc.partial) return PLAIN_NUMBERS;
    return TIME_AND_CONCENTRATION;
}

}  // namespace

void CurveLineChecks::line(const std::string& text, bool cut) {
    ++physical_;
    const int lineNumber = as_line(physical_);
    if (cut) warn_long_line(out_, lineNumber);
    LineWords words(text);
    std::string first;
    if (!words.word(first) || first[0] == '#') return;
    if (dataLines_ == DATA_LINES) {
        if (extraLines_ == 0) firstExtraLine_ = lineNumber;
        lastExtraLine_ = lineNumber;
        ++extraLines_;
        return;
    }
    ++dataLines_;
    if (dataLines_ == 1) {
        initial(text, lineNumber);
    } else {
        point(text, lineNumber);
    }
}

void CurveLineChecks::initial(const std::string& text, int lineNumber) {
    lines_.initial_line = lineNumber;
    LineWords words(text);
    double s0 = 0;
    const Extraction first = words.real(s0);
    if (first.kind != Extraction::READ) {
        lines_.initial_not_a_number = true;
        out_.always(lineNumber, "unreadable_line",
                    quoted(text) +
                        " is the first data line, which gives the initial concentration, but "
                        "its first word " +
                        quoted(first.word) +
                        " is not a number: the initial concentration stays 0, so the "
                        "simulation starts from 0, and the next data line becomes point 0. If it "
                        "is a header, start it with '#' so that it is skipped.");
        return;
    }
    lines_.initial_concentration = s0;
    double next = 0;
    if (words.real(next).kind == Extraction::READ) {
        out_.always(lineNumber, "unreadable_line",
                    quoted(text) +
                        " is the first data line, which gives the initial concentration alone: "
                        "only its first number, " +
                        number(s0) +
                        ", is taken and the rest of the line is ignored, so the simulation "
                        "starts from " +
                        number(s0) +
                        " and the next data line becomes point 0. If the file starts directly "
                        "with its first point 'time S0', put a line holding S0 alone before it.");
    } else if (first.partial) {
        out_.line(lineNumber, "initial partly read", "unreadable_line",
                  quoted(text) + " is the first data line, the initial concentration: its word " +
                      quoted(first.word) + " is read only as far as " + number(s0) +
                      " and the rest of the line is ignored. Write the initial "
                      "concentration as a plain number on a line of its own.");
    }
}

void CurveLineChecks::point(const std::string& text, int lineNumber) {
    const int index = static_cast<int>(lines_.points.size());
    PointLine p;
    p.line = lineNumber;
    LineWords words(text);
    double t = 0;
    const Extraction time = words.real(t);
    if (time.kind != Extraction::READ) {
        p.not_a_number = true;
        p.warned = true;
        lines_.points.push_back(p);
        out_.line(lineNumber, "not a number", "unreadable_line",
                  quoted(text) + " is not read as a point: its first word " + quoted(time.word) +
                      " is not a number. Yet as a data line it counts as point " +
                      std::to_string(index) +
                      ", with time 0 and concentration 0, never compared. If it is a header or "
                      "a note, start it with '#' so that it is skipped.");
        return;
    }
    p.time = t;
    double c = 0;
    const Extraction conc = words.real(c);
    if (conc.kind == Extraction::READ) {
        p.concentration = c;
    } else {
        p.no_concentration = true;
    }
    p.warned = p.no_concentration || time.partial || conc.partial;
    lines_.points.push_back(p);
    if (!p.warned) return;

    std::string message = quoted(text) + " is read as point " + std::to_string(index) +
                          " with time " + number(t) + " and " +
                          (p.no_concentration ? "no concentration" : "concentration " + number(c)) +
                          ": " + reading_trouble(time, t, conc, c);
    if (p.no_concentration && index > 0) message += ", so the point is not compared";
    const char* advice = reading_advice(time, conc);
    out_.line(lineNumber, advice, "unreadable_line", message + ". " + advice);
}

void CurveLineChecks::finish() {
    if (extraLines_ == 0) return;
    const std::string where =
        extraLines_ == 1 ? "This data line comes"
                         : "This data line and the " + std::to_string(extraLines_ - 1) +
                               " after it, up to line " + std::to_string(lastExtraLine_) + ", come";
    out_.always(firstExtraLine_, "too_many_points",
                where + " after the " + std::to_string(DATA_LINES) +
                    "th (the initial concentration and " + std::to_string(POINTS) +
                    " points, the most a curve holds): ignored. Thin the curve out or split it "
                    "into several curve files.");
}

void CurveLineChecks::fill(Plot& plot) const {
    plot.initialConcentration = lines_.initial_concentration;
    plot.pointCount = static_cast<int>(lines_.points.size());
    for (int i = 0; i < plot.pointCount; ++i) {
        plot.point[i].time = lines_.points[i].time;
        plot.point[i].concentration[0] = lines_.points[i].concentration;
    }
}

}  // namespace input_checks
