#include "minimiser/direction_set.h"
// stub
int direction_set_minimize(int, double*, double* value, ObjectiveFunction objective, FILE*) { static double x0[1] = {1.0}; *value = objective(x0); return 0; }
