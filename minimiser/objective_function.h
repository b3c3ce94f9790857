// What the minimiser minimises.
#pragma once

constexpr int MAX_VARIABLES = 30;  // capacity of the minimiser's work arrays

// Value at the point x[0..n-1]; it reads the point and must not keep the pointer.
using ObjectiveFunction = double (*)(const double* x);
