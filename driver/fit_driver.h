// One complete fit of the loaded problem, traced into "out.dat".
#pragma once

#include "problem/records.h"

ConstantVector run_fit(const ConstantSet* constants, PlotSet* plots, RunSettings* settings);
