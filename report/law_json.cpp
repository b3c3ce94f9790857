#include "report/law_json.h"

#include "simulation/rate_law.h"

namespace {

const char* role_name(ConstantRole role) {
    switch (role) {
        case ConstantRole::AFFINITY:
            return "affinity";
        case ConstantRole::MAXIMAL_RATE:
            return "maximal_rate";
        case ConstantRole::DIVISOR:
            return "divisor";
        case ConstantRole::DECAY_RATE:
            return "decay_rate";
    }
    return "";
}

}  // namespace

nlohmann::ordered_json law_json() {
    nlohmann::ordered_json constants = nlohmann::ordered_json::array();
    for (const ConstantInfo& c : LAW_CONSTANTS)
        constants.push_back(
            {{"name", c.name}, {"role", role_name(c.role)}, {"meaning", c.meaning}});
    return {{"program", VELKOR_PROGRAM},
            {"law", LAW_NAME},
            {"formula", LAW_FORMULA},
            {"equation", LAW_EQUATION},
            {"constants", constants}};
}
