// The report's summary on standard output: a dozen lines, then every warning.
#pragma once

#include "report/fit_report.h"

void print_summary(const FitReport& report);

// "FILE:LINE: MESSAGE" (or "FILE: MESSAGE", or the message alone), indented.
void print_warnings(const FitReport& report);
