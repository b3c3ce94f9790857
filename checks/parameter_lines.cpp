#include "checks/parameter_lines.h"

#include <climits>

#include "checks/constant_names.h"

namespace input_checks {

namespace {

#ifdef VELKOR_PROGRAM
const char* const PROGRAM = VELKOR_PROGRAM;
#else
const char* const PROGRAM = "this program";
#endif

const char* const KEYWORDS[] = {"integration_steps", "max_iterations", "max_error", "const",
                                "plot"};

bool is_keyword(const std::string& word) {
    for (const char* k : KEYWORDS) {
        if (word == k) return true;
    }
    return false;
}

// The keyword a word was probably meant to be, written in another case; empty if none.
std::string miscased_keyword(const std::string& word) {
    for (const char* k : KEYWORDS) {
        const std::string keyword = k;
        if (word.size() != keyword.size() || word == keyword) continue;
        bool same = true;
        for (std::size_t i = 0; i < word.size() && same; ++i) {
            const char c = word[i] >= 'A' && word[i] <= 'Z' ? char(word[i] - 'A' + 'a') : word[i];
            same = c == keyword[i];
        }
        if (same) return keyword;
    }
    return "";
}

int as_line(long long physical) {
    return physical > INT_MAX ? INT_MAX : static_cast<int>(physical);
}

const char* const ARGUMENT_NAMES[] = {"the index", "the lower bound", "the value",
                                      "the upper bound"};

std::string argument_trouble(const char* name, const Extraction& e, const std::string& kept) {
    switch (e.kind) {
        case Extraction::MISSING:
            return std::string(name) + " is missing and keeps " + kept + ", left from before";
        case Extraction::FAILED:
            return std::string(name) + " " + quoted(e.word) + " is not a number and is taken as " +
                   kept;
        case Extraction::SKIPPED:
        case Extraction::READ:
            break;
    }
    return std::string(name) + " " + quoted(e.word) + " is read only as far as " + kept +
           ", and the rest, " + quoted(e.rest) + ", is read as what follows";
}

// The arguments after a failed one, which the stream no longer reads, in one clause.
std::string skipped_arguments(const Extraction (&e)[4], const std::string (&kept)[4]) {
    std::string names;
    std::string values;
    int count = 0;
    for (int k = 0; k < 4; ++k) {
        if (e[k].kind != Extraction::SKIPPED) continue;
        const std::string join = count == 0 ? "" : k == 3 ? " and " : ", ";
        names += join + ARGUMENT_NAMES[k];
        values += join + kept[k];
        ++count;
    }
    if (count == 0) return "";
    return "; " + names + (count == 1 ? " is" : " are") + " not read after that and keep" +
           (count == 1 ? "s " : " ") + values;
}

bool clean(const Extraction& e) {
    return e.kind == Extraction::READ && !e.partial;
}

}  // namespace

ParameterLineChecks::ParameterLineChecks(FileWarnings& out) : out_(out) {}

void ParameterLineChecks::line(const std::string& text, bool cut) {
    ++physical_;
    const int lineNumber = as_line(physical_);
    if (cut) warn_long_line(out_, lineNumber);
    LineWords words(text);
    std::string word;
    bool first = true;
    bool hashLine = false;
    std::string keywordsRead;
    bool miscaseWarned = false;
    while (words.word(word)) {
        if (first) hashLine = word[0] == '#';
        first = false;
        if (word == "integration_steps" || word == "max_iterations") {
            words.whole(intTemp_);
        } else if (word == "max_error") {
            words.real(error_);
        } else if (word == "const") {
            const_line(words, text, lineNumber);
        } else if (word == "plot") {
            plot_line(words, text, lineNumber);
        } else {
            const std::string meant = miscased_keyword(word);
            if (!meant.empty() && !miscaseWarned) {
                miscaseWarned = true;
                out_.line(lineNumber, "miscased keyword", "keyword_line",
                          quoted(text) + ": " + quoted(word) +
                              " is not a keyword (keywords are written in lower case: '" + meant +
                              "'), so it is skipped, and so are the words after it unless they "
                              "are keywords themselves.");
            }
            continue;
        }
        keywordsRead += (keywordsRead.empty() ? "'" : ", '") + word + "'";
        if (words.failed()) after_failure(words, word, text, lineNumber);
    }
    if (hashLine && !keywordsRead.empty()) {
        out_.line(lineNumber, "keyword on a # line", "keyword_line",
                  quoted(text) +
                      " starts with '#', but the parameter file has no comments: the keyword " +
                      keywordsRead +
                      " on it is still read. Delete the line, or the keyword, to leave it out.");
    }
}

// A failed argument ends the reading of the line: keywords after it are lost.
void ParameterLineChecks::after_failure(const LineWords& words, const std::string& keyword,
                                        const std::string& text, int lineNumber) {
    const std::string rest = words.remainder();
    LineWords later(rest);
    std::string word;
    std::string lost;
    while (later.word(word)) {
        if (is_keyword(word)) lost += (lost.empty() ? "'" : ", '") + word + "'";
    }
    if (lost.empty()) return;
    out_.line(lineNumber, "keywords lost", "keyword_line",
              quoted(text) + ": an argument of '" + keyword +
                  "' is not a number, which ends the reading of the line, so the "
                  "keyword " +
                  lost +
                  " after it is not read. Put each keyword with its arguments on a "
                  "line of its own.");
}

void ParameterLineChecks::const_line(LineWords& words, const std::string& text, int lineNumber) {
    const Extraction e[4] = {words.whole(ind_), words.real(min_), words.real(value_),
                             words.real(max_)};
    ++constLines_;
    const bool inRange = ind_ >= 0 && ind_ < CONSTANTS;
    bool argumentsClean = true;
    for (const Extraction& x : e)
        argumentsClean = argumentsClean && clean(x);

    if (!argumentsClean) {
        const std::string kept[4] = {std::to_string(ind_), number(min_), number(value_),
                                     number(max_)};
        std::string trouble;
        for (int k = 0; k < 4; ++k) {
            if (clean(e[k]) || e[k].kind == Extraction::SKIPPED) continue;
            trouble +=
                (trouble.empty() ? "" : "; ") + argument_trouble(ARGUMENT_NAMES[k], e[k], kept[k]);
        }
        trouble += skipped_arguments(e, kept);
        const std::string stored =
            inRange ? "constant " + std::to_string(ind_) + " (" + constant_name(ind_) +
                          ") gets the range " + number(min_) + " to " + number(max_)
                    : "nothing is stored, as " + std::to_string(ind_) + " is no index of " +
                          PROGRAM + "'s constants (" + constant_list() + ")";
        out_.line(lineNumber, "const misread", "const_line",
                  quoted(text) + " is read as 'const " + kept[0] + " " + kept[1] + " " + kept[2] +
                      " " + kept[3] + "': " + trouble + ". So " + stored +
                      ". Write 'const INDEX MIN VALUE MAX' with four plain numbers, "
                      "the index a whole number.");
    } else if (!inRange) {
        out_.line(lineNumber, "const index", "const_line",
                  quoted(text) + ": " + PROGRAM + " has " + std::to_string(CONSTANTS) +
                      " constants (" + constant_list() + "), so index " + std::to_string(ind_) +
                      " is outside 0 to " + std::to_string(CONSTANTS - 1) +
                      ": the line counts as a const line, but its range is not "
                      "stored.");
    }
    if (!inRange) return;

    ranges_.constant_min[ind_] = min_;
    ranges_.constant_max[ind_] = max_;
    if (setOnLine_[ind_] != 0) {
        out_.line(lineNumber, "const again", "const_line",
                  quoted(text) + " sets constant " + std::to_string(ind_) + " (" +
                      constant_name(ind_) + ") again, after line " +
                      std::to_string(setOnLine_[ind_]) + ": this line's range wins.");
    }
    setOnLine_[ind_] = lineNumber;
    if (!argumentsClean || !(min_ > value_ || value_ > max_)) return;

    const std::string mid = number((max_ + min_) / 2.0);
    const std::string use =
        ind_ == 0 ? "the fit of " + constant_name(0) + " starts from the midpoint " + mid
                  : constant_name(ind_) + " is held at the midpoint " + mid;
    const std::string what =
        min_ > max_ ? "the lower bound " + number(min_) + " is above the upper bound " +
                          number(max_) + "; the reader only reports it, and " + use +
                          " of the range anyway. Give the bounds in the order min, value, max."
                    : "the value " + number(value_) + " is outside its range " + number(min_) +
                          " to " + number(max_) + "; the value is only checked, and " + use +
                          " of the range. Give a range that holds the value.";
    out_.line(lineNumber, "const order", "const_line", quoted(text) + ": " + what);
}

void ParameterLineChecks::plot_line(LineWords& words, const std::string& text, int lineNumber) {
    ++plotLines_;
    std::string name;
    const bool named = words.word(name);
    if (plotLines_ > PLOTS) {
        out_.line(lineNumber, "plot beyond", "too_many_curves",
                  quoted(text) + " is plot line " + std::to_string(plotLines_) +
                      ": only the first " + std::to_string(PLOTS) +
                      " curves are read, so this one is not. A fit takes at most " +
                      std::to_string(PLOTS) + " curves.");
        return;
    }
    plots_.push_back(PlotLine{named ? name : std::string(), lineNumber});
    if (!named) {
        out_.always(lineNumber, "plot_line",
                    quoted(text) +
                        ": the keyword 'plot' has no file name after it, "
                        "so curve " +
                        std::to_string(plotLines_) +
                        " stays empty. Write 'plot FILE' with the curve file's name.");
    }
}

void ParameterLineChecks::finish(const ConstantSet& ranges) {
    if (constLines_ != CONSTANTS) {
        out_.always(0, "const_line",
                    "The parameter file has " + count_of(constLines_, "const line", "const lines") +
                        "; " + PROGRAM + " expects exactly " + std::to_string(CONSTANTS) +
                        ", one for each constant: " + constant_list() + ".");
    }
    if (plotLines_ == 0) {
        out_.always(0, "plot_line",
                    "The parameter file has no plot line, so there is no curve to fit. Name "
                    "each curve file on a line 'plot FILE'.");
    }
    for (int j = 0; j < CONSTANTS; ++j) {
        if (setOnLine_[j] == 0) {
            out_.always(0, "const_line",
                        "No const line sets constant " + std::to_string(j) + " (" +
                            constant_name(j) + "): its range stays 0 to 0, so " + at_zero(j) +
                            ". Add a line 'const " + std::to_string(j) + " MIN VALUE MAX'.");
        } else if ((ranges.constant_max[j] + ranges.constant_min[j]) / 2.0 == 0.0) {
            out_.always(setOnLine_[j], "const_line",
                        "The range of constant " + std::to_string(j) + " (" + constant_name(j) +
                            "), " + number(ranges.constant_min[j]) + " to " +
                            number(ranges.constant_max[j]) + ", has its midpoint at 0, so " +
                            at_zero(j) + ". Give a range centred on the value you expect.");
        }
    }
}

}  // namespace input_checks
