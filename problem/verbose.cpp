#include "problem/verbose.h"

bool verbose = true;
