// The line-level checks of one curve file. They work on its text, line by line, reading each
// line the way the curve reader does, so that every warning can name the line it is about.
#pragma once

#include <string>
#include <vector>

#include "checks/file_warnings.h"
#include "checks/line_reading.h"
#include "checks/line_words.h"
#include "checks/message_text.h"
#include "problem/records.h"

namespace input_checks {

// Where a point of the curve came from.
struct PointLine {
    int line = 0;                   // physical line of the file, from 1
    bool not_a_number = false;      // took its slot without a time (a header, say)
    bool no_concentration = false;  // its line gave no concentration
    bool warned = false;            // a warning about its line was given
    double time = 0;                // as the reader stores them
    double concentration = 0;
};

struct CurveLines {
    int initial_line = 0;  // line of the initial concentration; 0 where there is none
    bool initial_not_a_number = false;
    double initial_concentration = 0;
    std::vector<PointLine> points;  // at most POINTS, in file order
};

class CurveLineChecks {
  public:
    explicit CurveLineChecks(FileWarnings& out) : out_(out) {}

    // The next physical line of the file; cut: LINE_KEEP characters of it were kept.
    void line(const std::string& text, bool cut);
    // After the last line: the lines beyond the last point slot.
    void finish();

    const CurveLines& lines() const { return lines_; }
    // The records as the curve reader fills them from the same lines, into a zeroed slot.
    void fill(Plot& plot) const;

  private:
    void initial(const std::string& text, int lineNumber);
    void point(const std::string& text, int lineNumber);

    FileWarnings& out_;
    CurveLines lines_;
    int physical_ = 0;
    int dataLines_ = 0;
    long long extraLines_ = 0;
    int firstExtraLine_ = 0;
    int lastExtraLine_ = 0;
};

}  // namespace input_checks
