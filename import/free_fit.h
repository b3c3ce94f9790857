// Km and Vmax fitted together, with their standard errors: what the parameter file is
// centred on. Units are the problem's (concentration; concentration per time unit).
#pragma once

#include <string>

namespace velkor_import {

struct FreeFit {
    double km = 0.0, km_se = 0.0;  // a standard error that is not finite is unknown
    double vmax = 0.0, vmax_se = 0.0;
    std::string method;  // said in the parameter file's comments and the summary
};

}  // namespace velkor_import
