#include "problem/plot_file.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

#include "problem/input_file.h"
#include "problem/verbose.h"

namespace {

// Only numbers actually read are echoed and stored: a missing concentration must not
// enter the fit as a false measurement.
void read_point(std::istream& words, double temp, ExperimentPoint& point,
                const std::string& fileName, int dataLine) {
    if (verbose) std::cout << temp << " ";
    point.time = temp;
    int count = 0;
    for (int s = 0; s < SUBSTANCES; ++s) {
        if (!(words >> temp)) break;
        if (verbose) std::cout << temp << " ";
        point.concentration[count] = temp;
        ++count;
    }
    if (count != SUBSTANCES) {
        std::cerr << "Wrong number of substances in file " << fileName << " on line " << dataLine
                  << std::endl;
    }
    if (verbose) std::cout << std::endl;
}

}  // namespace

void read_plot_file(int slot, PlotSet& plots, std::string fileName) {
    Plot& plot = plots.plot[slot];
    std::ifstream file;
    if (!open_for_reading(file, fileName)) std::cerr << "ERROR!! Can't open file" << std::endl;
    if (verbose) std::cout << "--------Plot Data Begin--------" << std::endl;
    int dataLines = 0;
    bool excessReported = false;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string value;
        if (!(words >> value) || value[0] == '#') {
            if (verbose) std::cout << "----------" << std::endl;
            continue;
        }
        // The slots hold POINTS points after the initial concentration; the rest is dropped.
        if (dataLines == POINTS + 1) {
            if (!excessReported) {
                std::cerr << "Number of points exceed POINTS in file " << fileName << std::endl;
                excessReported = true;
            }
            continue;
        }
        ++dataLines;
        words.clear();
        words.seekg(0);
        double temp = 0;
        if (!(words >> temp)) continue;
        if (dataLines == 1) {
            if (verbose) std::cout << temp << std::endl;
            plot.initialConcentration = temp;
        } else {
            read_point(words, temp, plot.point[dataLines - 2], fileName, dataLines);
        }
    }
    plot.pointCount = std::max(dataLines - 1, 0);
    if (verbose) std::cout << "--------Plot Data End--------" << std::endl;
}
