#include "problem/plot_file.h"
