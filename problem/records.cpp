#include "problem/records.h"

#include <iostream>

PlotSet::PlotSet() : plotCount(0), plot() {
    std::cout << "Plots initialized" << std::endl;
}

PlotSet::PlotSet(Silent) : plotCount(0), plot() {}
