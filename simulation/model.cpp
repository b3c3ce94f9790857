#include "simulation/model.h"
