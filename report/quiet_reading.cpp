#include "report/quiet_reading.h"

#include <iostream>
#include <streambuf>

#include "problem/parameter_file.h"

namespace {

// Swallows the echo, keeping the text of every line that names a plot.
class PlotNameFilter : public std::streambuf {
  public:
    explicit PlotNameFilter(std::vector<std::string>& names) : names_(names) {}

  protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        if (c == '\n') {
            end_line();
        } else if (keeping_) {
            line_.push_back(static_cast<char>(c));
            // Only the start of a line tells whether it names a plot: other echo lines (a
            // curve's numbers, possibly millions) are never stored.
            if (line_.size() == PREFIX.size() && line_ != PREFIX) {
                keeping_ = false;
                line_.clear();
            }
        }
        return c;
    }

  private:
    void end_line() {
        if (keeping_ && line_.size() >= PREFIX.size())
            names_.push_back(line_.substr(PREFIX.size()));
        line_.clear();
        keeping_ = true;
    }

    const std::string PREFIX = "Plot Name: ";
    std::vector<std::string>& names_;
    std::string line_;
    bool keeping_ = true;
};

}  // namespace

void read_problem_quietly(const std::string& parameterFile, ReadProblem& problem) {
    PlotNameFilter filter(problem.plot_names);
    std::streambuf* console = std::cout.rdbuf(&filter);
    problem.settings = RunSettings{};
    problem.constants = ConstantSet{};
    problem.plots.reset(new PlotSet());  // its announcement goes to the filter too
    read_parameter_file(parameterFile, problem.settings, problem.constants, *problem.plots);
    std::cout.flush();
    std::cout.rdbuf(console);
}
