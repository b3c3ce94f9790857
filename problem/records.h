// Problem records: everything the input files say about one fitting problem.
#pragma once

#include <cstdint>

#ifndef VELKOR_CONSTANTS
#error "VELKOR_CONSTANTS (number of rate constants) must be defined by the build"
#endif

// What the fit programs read: 16 curves of 256 points. The companions are built for whole
// plates (VELKOR_PLOTS, VELKOR_POINTS) and say where a problem goes beyond these.
constexpr int FIT_PROGRAM_PLOTS = 16;
constexpr int FIT_PROGRAM_POINTS = 256;
#ifndef VELKOR_PLOTS
#define VELKOR_PLOTS FIT_PROGRAM_PLOTS
#endif
#ifndef VELKOR_POINTS
#define VELKOR_POINTS FIT_PROGRAM_POINTS
#endif

constexpr int CONSTANTS = VELKOR_CONSTANTS;  // rate constants of the kinetic model
constexpr int PLOTS = VELKOR_PLOTS;          // curve slots of a PlotSet
constexpr int POINTS = VELKOR_POINTS;        // point slots of a Plot
constexpr int SUBSTANCES = 1;                // concentrations per measured point

struct RunSettings {
    int32_t integration_steps;
    int32_t max_iterations;
    double max_error;
};

struct ConstantVector {
    double value[CONSTANTS];

    double& operator[](int i) { return value[i]; }
    const double& operator[](int i) const { return value[i]; }
};

struct ConstantSet {
    ConstantVector constant_min;
    ConstantVector constant_max;
};

struct ExperimentPoint {
    double time;
    double concentration[SUBSTANCES];
};

struct Plot {
    int32_t pointCount;
    double initialConcentration;
    ExperimentPoint point[POINTS];
};

struct PlotSet {
    int32_t plotCount;
    Plot plot[PLOTS];

    // Zeroes every slot and announces itself with "Plots initialized".
    PlotSet();
    // Zeroes every slot without a word: for the companions, whose standard output is theirs.
    struct Silent {};
    explicit PlotSet(Silent);
};
