// Reader of the parameter file: run settings, constant ranges and the curve files.
#pragma once

#include <string>

#include "problem/records.h"

// Fills the records from the named file; reads every curve file it names.
// Problems are reported on standard error; reading always goes on.
void read_parameter_file(const std::string& fileName, RunSettings& settings, ConstantSet& constants,
                         PlotSet& plots);
