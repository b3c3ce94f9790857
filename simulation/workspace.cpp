#include "simulation/workspace.h"

FitWorkspace fit_workspace;
