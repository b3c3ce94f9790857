// The laws ranked by the corrected Akaike information criterion of their least-squares fits:
//
//   AICc = n ln(RSS / n) + 2k + 2k(k + 1) / (n - k - 1)
//
// n points compared (the same for every law), k constants fitted. The law of the smallest
// AICc is best; delta_i = AICc_i - AICc_min and the Akaike weight
// w_i = exp(-delta_i / 2) / sum_j exp(-delta_j / 2), the weight of evidence for law i among
// those compared. delta under 2: the laws cannot be told apart; over 10: decisive.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// Below this delta two laws cannot be told apart; above DECISIVE the evidence is decisive.
constexpr double INDISTINCT = 2.0;
constexpr double DECISIVE = 10.0;

struct LawFit {
    std::string program, law, formula;
    std::vector<std::string> names;                          // the constants, in index order
    std::vector<double> values, standard_errors, low, high;  // NaN where undefined
    double sum_of_squares = 0.0;
    int n = 0, k = 0;
    double residual_test_p = 0.0;  // NaN where undefined
    double aicc = 0.0, delta = 0.0, weight = 0.0;
    nlohmann::json curves;  // the report's curves at the fit, for the picture and the table
};

// NaN where n - k - 1 <= 0 or RSS is no positive number.
double aicc(double rss, int n, int k);

// Sorts by AICc and fills delta and weight.
void rank(std::vector<LawFit>& fits);

// One sentence: which law the data support, and how strongly.
std::string verdict(const std::vector<LawFit>& ranked);
