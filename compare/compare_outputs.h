// The comparison's outputs: the summary on standard output, PREFIX.json and PREFIX.tsv.
#pragma once

#include <string>

#include "compare/comparison.h"

void print_comparison(const Comparison& c);

// Return false when the file cannot be written.
bool write_comparison_json(const Comparison& c, const std::string& path);
bool write_comparison_table(const Comparison& c, const std::string& path);
