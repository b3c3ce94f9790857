// The line-level checks of the parameter file. They work on its text, line by line, reading
// each line the way the parameter reader does (its values carried from line to line), so
// that every warning can name the line it is about.
#pragma once

#include <string>
#include <vector>

#include "checks/file_warnings.h"
#include "checks/line_reading.h"
#include "checks/line_words.h"
#include "checks/message_text.h"
#include "problem/records.h"

namespace input_checks {

// A plot line whose curve the reader reads (the first PLOTS of them).
struct PlotLine {
    std::string name;  // as the reader takes it; empty where the line names none
    int line;
};

class ParameterLineChecks {
  public:
    explicit ParameterLineChecks(FileWarnings& out);

    // The next physical line of the file; cut: LINE_KEEP characters of it were kept.
    void line(const std::string& text, bool cut);
    // After the last line: the number of const lines and the constants none of them set;
    // ranges are the constants as the reader stored them.
    void finish(const ConstantSet& ranges);

    const std::vector<PlotLine>& plots() const { return plots_; }
    // The constants as the reader stores them from the same lines, into zeroed records.
    const ConstantSet& ranges() const { return ranges_; }

  private:
    void const_line(LineWords& words, const std::string& text, int lineNumber);
    void plot_line(LineWords& words, const std::string& text, int lineNumber);
    void after_failure(const LineWords& words, const std::string& keyword, const std::string& text,
                       int lineNumber);

    FileWarnings& out_;
    long long physical_ = 0;
    // The reader's values that outlive a line.
    int ind_ = 0;
    double min_ = 0, value_ = 0, max_ = 0;
    int intTemp_ = 0;
    double error_ = 0;
    long long constLines_ = 0;
    long long plotLines_ = 0;
    int setOnLine_[CONSTANTS] = {};  // last line that stored each constant; 0: none
    ConstantSet ranges_{};
    std::vector<PlotLine> plots_;
};

}  // namespace input_checks
