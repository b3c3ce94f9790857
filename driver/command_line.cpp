#include "driver/command_line.h"
// stub
void read_command_line(int, char**, RunSettings&, ConstantSet&, PlotSet&) {}
