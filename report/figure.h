// The picture of a fit: an editable gnuplot script and the images gnuplot renders from it.
#pragma once

#include <string>

#include "report/fit_report.h"

// Writes PREFIX.gp: a self-contained gnuplot script (the data inline) that draws, above, the
// measured points and the fitted curve of every curve (one colour per curve, its file name in
// the key) and, below, the residuals of the compared points against time, with the axes
// labelled with the units of the report. It renders PREFIX.svg and PREFIX.png. Returns false
// when the file cannot be written.
bool write_figure_script(const FitReport& report, const std::string& prefix);

// gnuplot, started early so that its start-up overlaps the fit, fed the script at the end.
class FigureRenderer {
  public:
    FigureRenderer();  // starts gnuplot when it is installed, else stays idle
    ~FigureRenderer();
    FigureRenderer(const FigureRenderer&) = delete;
    FigureRenderer& operator=(const FigureRenderer&) = delete;

    bool available() const;  // whether gnuplot could be started
    // Runs PREFIX.gp and waits for gnuplot to finish; true when it rendered without error.
    bool render(const std::string& prefix);

  private:
    void* process_;  // the pipe to gnuplot, or null
};
