// Shared pieces of the fuzz targets: silenced console streams, file writing and the checks every
// target makes. Their private working folder is a testing_support::ScratchDir.
#pragma once

#include <cstddef>
#include <string>

#include "problem/records.h"

// Sends everything written to std::cout and std::cerr nowhere: the readers echo every line.
void silence_console();

// Writes the bytes as the file's whole content, creating or emptying it.
void write_file(const std::string& name, const std::string& content);

// A name that could lead a reader out of the scratch folder (to a device that never ends, a
// pipe that blocks) is no finding: such inputs are passed over.
bool names_outside_scratch(const std::string& text);

// Traps when the records break the limits every consumer relies on.
void check_records(const PlotSet& plots);
