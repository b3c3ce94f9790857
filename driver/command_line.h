// The command-line step: usage text, options, parameter file, surplus words.
#pragma once

#include "problem/records.h"

void read_command_line(int argc, char** argv, RunSettings& settings, ConstantSet& constants,
                       PlotSet& plots);
