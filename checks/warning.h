// A trap of the input or a doubt about a fit, as every companion reports it.
#pragma once

#include <string>

struct Warning {
    std::string file;  // empty where no file is concerned
    int line;          // line of the file, counting every line from 1; 0 where none
    std::string message;
};
