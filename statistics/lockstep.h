// Searches made in lockstep. Each search (a profile interval's, say) evaluates the sum of
// squares many times, one evaluation after another; several searches run side by side, each
// in a thread of its own, and the evaluations they ask for at the same time are made together
// (one integration of every curve for every point asked for, see sum_of_squares_of_sets) on
// the thread that started them. Only that thread touches the workspace and the integrator;
// the searches share nothing else, so each sees, to the bit, what it would see alone, and
// the results do not depend on how the threads are scheduled.
#pragma once

#include <functional>
#include <vector>

#include "statistics/evaluation.h"

// Runs every search to its end. A search's evaluations must go through evaluate or
// evaluate_each; one that throws has its exception thrown here once all have ended. A search
// that runs searches of its own runs them one after another.
void run_in_lockstep(const std::vector<std::function<void()>>& searches);
