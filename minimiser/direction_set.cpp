#include "minimiser/direction_set.h"

#include <cmath>

#include "minimiser/line_search.h"

namespace {
constexpr double FIRST_STEP_LENGTH = 0.1;  // step length of the first cycle, and its upper bound
constexpr double STEP_FACTOR = 0.4;        // step length = 0.4 sqrt(decrease of the last cycle)
constexpr double TOLERANCE = 1e-6;         // relative change of f and x that ends the search
}  // namespace

double direction_matrix[MAX_VARIABLES][MAX_VARIABLES];
double cycle_start[MAX_VARIABLES];
double step_vector[MAX_VARIABLES];
double extrapolated_point[MAX_VARIABLES];

namespace {

void set_identity(int n) {
    for (int j = 0; j < n; ++j) {
        for (int k = 0; k < n; ++k)
            direction_matrix[k][j] = 0;
        direction_matrix[j][j] = 1;
    }
}

void write_point(FILE* trace, int n, const double* x, double value) {
    for (int i = 1; i <= n; ++i)
        fprintf(trace, "x%2.2d = %12.4e\n", i, x[i - 1]);
    fprintf(trace, "\nsum of squares:%12.4e\n", value);
}

int search_along(int n, int j, double b, double* x, double* value, ObjectiveFunction objective) {
    for (int k = 0; k < n; ++k)
        step_vector[k] = b * direction_matrix[k][j];
    return line_search(n, x, step_vector, value, objective, nullptr);
}

// Powell's test: a new direction only when the extrapolation still goes downhill and the
// cycle's decrease was not mostly due to the single direction that would be discarded.
bool replacement_worthwhile(double f0, double fN, double fE, double largest_decrease) {
    if (fE - f0 >= 0) return false;
    const double q = (f0 - fN - largest_decrease) / (fE - f0);
    const double T = 2 * (f0 - 2 * fN + fE) * (q * q);
    if (T >= largest_decrease) return false;
    return true;
}

// Drops direction isave and appends the cycle's normalised displacement as the newest.
void replace_direction(int n, int isave, const double* x) {
    for (int m = isave; m < n - 1; ++m) {
        for (int k = 0; k < n; ++k)
            direction_matrix[k][m] = direction_matrix[k][m + 1];
    }
    for (int k = 0; k < n; ++k)
        direction_matrix[k][n - 1] = x[k] - cycle_start[k];
    double s = 0;
    for (int k = 0; k < n; ++k)
        s = s + direction_matrix[k][n - 1] * direction_matrix[k][n - 1];
    const double r = 1 / std::sqrt(s);
    for (int k = 0; k < n; ++k)
        direction_matrix[k][n - 1] = direction_matrix[k][n - 1] * r;
}

// Shorter steps as the decreases per cycle get smaller, never longer than 0.1.
double next_step_length(double f0, double value) {
    double b;
    if (f0 >= value) {
        b = STEP_FACTOR * std::sqrt(f0 - value);
    } else {
        b = -STEP_FACTOR * std::sqrt(value - f0);
    }
    if (b > FIRST_STEP_LENGTH) b = FIRST_STEP_LENGTH;
    return b;
}

// Absolute change for reference values up to eps in size, relative above.
double change(double old_value, double new_value, double eps) {
    if (std::fabs(old_value) <= eps) return std::fabs(old_value - new_value);
    return std::fabs((old_value - new_value) / old_value);
}

}  // namespace

int direction_set_minimize(int n, double* x, double* value, ObjectiveFunction objective,
                           FILE* trace) {
    set_identity(n);
    *value = objective(x);
    if (trace != nullptr) {
        fprintf(trace, "\nInitial approximation:\n\n");
        write_point(trace, n, x, *value);
    }
    double b = FIRST_STEP_LENGTH;
    int cycle = 0;
    for (;;) {
        const double f0 = *value;
        for (int k = 0; k < n; ++k)
            cycle_start[k] = x[k];
        double largest_decrease = 0;
        int isave = -1;
        for (int j = 0; j < n; ++j) {
            const double f_before = *value;
            const int result = search_along(n, j, b, x, value, objective);
            if (result == 0 && cycle == 0) return j + 1;
            const double decrease = f_before - *value;
            if (decrease > largest_decrease) {
                largest_decrease = decrease;
                isave = j;
            }
        }
        const double fN = *value;
        for (int k = 0; k < n; ++k)
            extrapolated_point[k] = 2 * x[k] - cycle_start[k];
        const double fE = objective(extrapolated_point);
        // Without a decreasing direction (only with not-a-number values) the set stays intact.
        if (replacement_worthwhile(f0, fN, fE, largest_decrease) && isave >= 0) {
            replace_direction(n, isave, x);
            search_along(n, n - 1, b, x, value, objective);
        }
        if (converged(n, f0, *value, cycle_start, x, TOLERANCE) == 1) return 0;
        b = next_step_length(f0, *value);
        cycle = cycle + 1;
        if (trace != nullptr) {
            fprintf(trace, "\nIteration %d\n\n", cycle);
            write_point(trace, n, x, *value);
        }
    }
}

int converged(int n, double f_old, double f_new, const double* x_old, const double* x_new,
              double eps) {
    if (change(f_old, f_new, eps) > eps) return 0;
    for (int i = 0; i < n; ++i) {
        if (change(x_old[i], x_new[i], eps) > eps) return 0;
    }
    return 1;
}
