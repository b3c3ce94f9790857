#include "checks/constant_names.h"

#include "simulation/rate_law.h"

namespace input_checks {

std::string constant_name(int j) {
    return j >= 0 && j < CONSTANTS ? LAW_CONSTANTS[j].name : "constant " + std::to_string(j);
}

std::string constant_list() {
    std::string list;
    for (int j = 0; j < CONSTANTS; ++j) {
        list += (j == 0               ? ""
                 : j + 1 == CONSTANTS ? " and "
                                      : ", ") +
                std::to_string(j) + " = " + constant_name(j);
    }
    return list;
}

std::string at_zero(int j) {
    const std::string name = constant_name(j);
    if (j == 0) {
        return name + " starts at 0 and stays there: the fit moves " + name +
               " in units of the midpoint of its range";
    }
    switch (LAW_CONSTANTS[j].role) {
        case ConstantRole::MAXIMAL_RATE:
            return name +
                   " is held at 0 and nothing moves: every simulated curve stays at its initial "
                   "concentration, whatever " +
                   constant_name(0) + " is";
        case ConstantRole::DIVISOR:
            return name + " is held at 0, and the rate law divides by it";
        case ConstantRole::AFFINITY:
        case ConstantRole::DECAY_RATE:
            break;
    }
    return name + " is held at 0";
}

}  // namespace input_checks
