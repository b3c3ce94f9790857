// The profile sum of squares of one constant j of a fit of several:
//
//   RSS_p(c) = min over the other constants m of RSS, with constant j held at c.
//
// The minimum is found by Gauss-Newton descent (statistics/gauss_newton.h) with J_m, the
// Jacobian of the other constants by forward differences at its start or at a profile point
// close by, and by Levenberg-Marquardt where that descent stalls. The first start is what
// the covariance C of the fit predicts for c (the regression of c_m on c_j),
//
//   c_m(c) = c_m* + C_mj / C_jj (c - c_j*),
//
// later ones the line through the two points of the profile already found nearest to c;
// both on a logarithmic scale where the constants are positive, so that no start carries a
// constant through 0.
#pragma once

#include <utility>
#include <vector>

#include "statistics/evaluation.h"
#include "statistics/fit_space.h"
#include "statistics/standard_errors.h"

class ConstantProfile {
  public:
    // space: the fit's space; at: the evaluation at its optimum; constant: j, one of the free
    // constants.
    ConstantProfile(const FitSpace& space, const Evaluation& at, const Covariance& covariance,
                    int constant);

    double operator()(double c);  // RSS_p(c)

  private:
    std::vector<double> start_for(double c) const;
    // J_m of a profile point close to c, or null.
    const std::vector<std::vector<double>>* columns_near(double c) const;

    FitSpace space_;               // constant j held, the others free
    int constant_;                 // j
    std::vector<int> others_;      // their indices
    std::vector<double> optimum_;  // their values at the optimum
    std::vector<double> slope_;    // C_mj / C_jj, 0 where C is undefined
    double centre_;                // c_j*
    // The points of the profile found so far: c_j, and the c_m that minimise RSS there.
    std::vector<std::pair<double, std::vector<double>>> found_;
    // The points where J_m was worked out, with it.
    struct Aimed {
        double c;
        std::vector<std::vector<double>> columns;
    };
    std::vector<Aimed> aimed_;
};
