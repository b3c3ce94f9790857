#include "options/option_parser.h"
