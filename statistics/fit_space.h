// The space the statistics move the constants in: some constants free, the others held.
//
// A free constant j is the coordinate x of the point times the midpoint of its range, so
// every free constant starts at x = 1; constant 0 is never taken below 0, as in the
// objective. The problem is the one load_workspace placed in the workspace.
#pragma once

#include <vector>

#include "problem/records.h"

struct FitSpace {
    bool free[CONSTANTS];    // which constants move; the point holds them in index order
    double held[CONSTANTS];  // the values of the others

    int dimension() const;
};

// Constants free as given, the others held at the midpoints of their ranges.
FitSpace space_with_free(std::vector<int> free_constants);

// The rate constants of point x of the space, in index order.
void constants_at(const FitSpace& space, const double* x, double* constants);

// Sets the workspace's rate constants to those of point x of the space.
void set_constants(const FitSpace& space, const double* x);

// The sum of squares at point x, silently.
double sum_of_squares_in(const FitSpace& space, const double* x);

// Minimises the sum of squares over the space with the direction-set method from x, without
// a trace; x becomes the minimiser's point. Returns its sum of squares.
double minimise_in(const FitSpace& space, double* x);
