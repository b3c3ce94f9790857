// gnuplot as a child process, started early so that its start-up overlaps the fit and fed
// the figure script at the end. The object owns the child and the pipe to it: both are
// closed, and the child waited for, on every path.
#pragma once

#include <sys/types.h>

#include <string>

class FigureRenderer {
  public:
    FigureRenderer();  // starts gnuplot when it is installed, else stays idle
    ~FigureRenderer();
    FigureRenderer(const FigureRenderer&) = delete;
    FigureRenderer& operator=(const FigureRenderer&) = delete;

    bool available() const;  // whether gnuplot is running and waiting for the script
    // Runs the script with its output_prefix set to `output_prefix` and waits for gnuplot to
    // finish; true when it rendered OUTPUT_PREFIX.svg and .png without error. gnuplot quits
    // after the script: a second call returns false.
    bool render(const std::string& script, const std::string& output_prefix);

  private:
    bool finish();  // closes gnuplot's input and waits for it; true on exit status 0

    pid_t pid_ = -1;
    int input_ = -1;  // the write end of gnuplot's standard input
};
