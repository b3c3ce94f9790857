#include "minimiser/line_search.h"
