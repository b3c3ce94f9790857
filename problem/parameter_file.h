// Reader of the parameter file: run settings, constant ranges and the curve files.
#pragma once

#include <string>
#include <vector>

#include "problem/records.h"

// What a reading took besides the records, for a caller that asks.
struct ParameterFileReading {
    bool opened = false;                  // whether the file could be opened
    std::vector<std::string> plot_names;  // every plot line's name in order, those beyond the
                                          // last slot too; empty where a line names none
};

// Fills the records from the named file; reads every curve file it names.
// Problems are reported on standard error; reading always goes on. When `reading` is
// given, it receives what the reading took besides the records.
void read_parameter_file(const std::string& fileName, RunSettings& settings, ConstantSet& constants,
                         PlotSet& plots, ParameterFileReading* reading = nullptr);
