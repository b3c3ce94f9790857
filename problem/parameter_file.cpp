#include "problem/parameter_file.h"
// stub
void read_parameter_file(const std::string&, RunSettings&, ConstantSet&, PlotSet&) {}
