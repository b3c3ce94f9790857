#include "simulation/integrator.h"
