// Reader of one measured-curve file.
#pragma once

#include <string>

#include "problem/records.h"

// Reads the named curve file into plots.plot[slot] (0 <= slot < PLOTS).
void read_plot_file(int slot, PlotSet& plots, std::string fileName);
