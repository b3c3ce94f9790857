// The promises of a finished import that every fuzz target of the lab-file readers checks:
// a violation traps, so libFuzzer keeps the input.
#pragma once

#include "import/import_run.h"

namespace fuzz_support {

// Safe, unique file names; parameter comments without velkor's keywords; curves within the
// folder's limits, S0 above 0, times from 0 on the 0.01 grid, increasing, the first interval
// at least 0.04.
void check_import(const velkor_import::ImportResult& result);

}  // namespace fuzz_support
