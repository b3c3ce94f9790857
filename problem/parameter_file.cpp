#include "problem/parameter_file.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

#include "problem/input_file.h"
#include "problem/plot_file.h"
#include "problem/verbose.h"

namespace {

// Values of one reading. They live for the whole file, so an argument that cannot be read
// leaves in its field what the stream extraction left: 0 after a failed conversion, the
// earlier value when nothing was left on the line.
struct ParameterReading {
    std::string keyWord;
    int intTemp = 0;
    double error = 0;
    int ind = 0;
    double constant_min = 0;
    double constant = 0;
    double constant_max = 0;
    std::string plotName;
    ParameterFileReading* handed = nullptr;  // the caller's, or none
    int lines = 0;
    int constants = 0;
    int curves = 0;
};

void read_const(std::istream& words, ParameterReading& r, ConstantSet& constants) {
    words >> r.ind >> r.constant_min >> r.constant >> r.constant_max;
    if (r.constant_min > r.constant || r.constant > r.constant_max) {
        // "constatnt" is misspelt in the message users and their scripts have always seen.
        std::cerr << "wrong order of constatnt ( index " << r.ind << " ) min/max values"
                  << std::endl;
    }
    if (r.ind >= 0 && r.ind < CONSTANTS) {
        constants.constant_min[r.ind] = r.constant_min;
        constants.constant_max[r.ind] = r.constant_max;
    } else {
        std::cerr << "constant index out of range ( index " << r.ind << " ), bounds ignored"
                  << std::endl;
    }
    ++r.constants;
    if (verbose) {
        std::cout << "Constant # " << r.ind << " : " << r.constant_min << " " << r.constant << " "
                  << r.constant_max << std::endl;
    }
}

// A curve beyond the last slot is named and echoed but not read.
void read_plot(std::istream& words, ParameterReading& r, PlotSet& plots) {
    ++r.curves;
    if (r.curves > PLOTS) std::cerr << "Number of plots exceed PLOTS" << std::endl;
    r.plotName.clear();
    words >> r.plotName;
    if (r.handed != nullptr) r.handed->plot_names.push_back(r.plotName);
    if (verbose) std::cout << "Plot Name: " << r.plotName << std::endl;
    if (r.curves <= PLOTS) read_plot_file(r.curves - 1, plots, r.plotName);
}

// Every word is examined; a failed argument read ends the line.
void read_line(const std::string& line, ParameterReading& r, RunSettings& settings,
               ConstantSet& constants, PlotSet& plots) {
    std::istringstream words(line);
    while (words >> r.keyWord) {
        if (r.keyWord == "integration_steps") {
            words >> r.intTemp;
            settings.integration_steps = r.intTemp;
            if (verbose) std::cout << "Integration steps: " << r.intTemp << std::endl;
        } else if (r.keyWord == "max_iterations") {
            words >> r.intTemp;
            settings.max_iterations = r.intTemp;
            if (verbose) std::cout << "Max iterations: " << r.intTemp << std::endl;
        } else if (r.keyWord == "max_error") {
            words >> r.error;
            settings.max_error = r.error;
            if (verbose) std::cout << "Max error: " << r.error << std::endl;
        } else if (r.keyWord == "const") {
            read_const(words, r, constants);
        } else if (r.keyWord == "plot") {
            read_plot(words, r, plots);
        }
    }
}

}  // namespace

void read_parameter_file(const std::string& fileName, RunSettings& settings, ConstantSet& constants,
                         PlotSet& plots, ParameterFileReading* reading) {
    std::ifstream file;
    const bool opened = open_for_reading(file, fileName);
    if (!opened) {
        std::cerr << "ERROR!! Can't open file with parameters" << std::endl;
    }
    ParameterReading r;
    if (reading != nullptr) {
        *reading = ParameterFileReading{};
        reading->opened = opened;
        r.handed = reading;
    }
    std::string line;
    while (std::getline(file, line)) {
        ++r.lines;
        read_line(line, r, settings, constants, plots);
    }
    if (verbose) {
        std::cout << "Total lines: " << r.lines << std::endl;
        std::cout << "Total consts: " << r.constants << std::endl;
        std::cout << "CONSTANTS: " << CONSTANTS << std::endl;
        std::cout << "Total plots: " << r.curves << std::endl;
    }
    if (r.constants != CONSTANTS) {
        std::cerr << "Wrong number of constants in parameters file" << std::endl;
    }
    plots.plotCount = std::min(r.curves, PLOTS);
}
