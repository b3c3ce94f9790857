// What a rate law says about each of its constants: the name people know it by, the part it
// plays in the law, and a line of meaning for messages. Every program's messages, summaries
// and JSON keys take the constants' names from here.
#pragma once

// The part a constant plays, which decides what holding it at 0 or letting it grow does.
enum class ConstantRole {
    AFFINITY,      // a Michaelis constant: the concentration of half the maximal rate
    MAXIMAL_RATE,  // scales every rate: at 0 nothing moves
    DIVISOR,       // divides a concentration in the law: at 0 the law divides by zero, and
                   // without bound it has no effect
    DECAY_RATE,    // a first-order rate per time unit: at 0 it has no effect
};

struct ConstantInfo {
    const char* name;     // as people write it: "Km", "Vmax"
    ConstantRole role;    // see above
    const char* meaning;  // one line for messages, lower case, no full stop
};
