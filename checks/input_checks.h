// Warnings about the traps of the input format: what the readers passed over or misread,
// and where the problem as read will not be fitted the way its author meant.
#pragma once

#include <string>
#include <vector>

#include "checks/warning.h"
#include "problem/records.h"

// Reads the parameter file and every curve file it names again, line by line (so that each
// warning can name its file and line), and appends a warning for every trap found.
// constants and plots are the records as the readers filled them from the same files;
// points_sampled[p] is the number of points of curve p, point 0 included, that the
// simulation reached in the fit (the objective's count). Never throws, never crashes on any
// input, and reads nothing but the named regular files.
void check_input(const std::string& parameterFile, const ConstantSet& constants,
                 const PlotSet& plots, const int* points_sampled, std::vector<Warning>& warnings);
