// Hamming's method for one autonomous equation y' = g(y), written out step by
// step with plain variables: the independent account of what the integrator
// and the objective must compute, bit for bit.
#pragma once

namespace hamming_reference {

struct Coefficients {
    double a0, a1, a2, b0, b1, b2, m, e;
};

// Hamming's classical coefficients (alpha = 0), as printed in the literature.
inline Coefficients classical() {
    return {1.125, 0.0, -0.125, 0.375, 0.75, -0.375, 112.0 / 121.0, 9.0 / 121.0};
}

inline Coefficients from_alpha(double alpha) {
    const double q = 121.0 - 5.0 * alpha;
    return {9.0 * (1.0 - alpha) / 8.0,
            alpha,
            (alpha - 1.0) / 8.0,
            (9.0 - alpha) / 24.0,
            (7.0 * alpha + 9.0) / 12.0,
            (17.0 * alpha - 9.0) / 24.0,
            112.0 / q,
            (9.0 - 5.0 * alpha) / q};
}

// One classical Runge-Kutta step of h from y.
template <class Rate>
double runge_kutta_step(Rate g, double h, double y) {
    const double hh = 0.5 * h;
    const double h6 = h / 6.0;
    const double k1 = g(y);
    const double k2 = g(hh * k1 + y);
    double sum = 2.0 * k2 + k1;
    const double k3 = g(hh * k2 + y);
    sum = 2.0 * k3 + sum;
    const double k4 = g(h * k3 + y);
    return (sum + k4) * h6 + y;
}

template <class Rate>
class Trajectory {
  public:
    Trajectory(Rate g, double h, Coefficients k) : g_(g), h_(h), k_(k) {}

    // Four Runge-Kutta steps from y0; returns y4.
    double start(double y0) {
        y3_ = runge_kutta(y0);
        y2_ = runge_kutta(y3_);
        f2_ = g_(y2_);
        y1_ = runge_kutta(y2_);
        f1_ = g_(y1_);
        y_ = runge_kutta(y1_);
        d_ = 0.0;
        return y_;
    }

    // One continuing step; returns the new y.
    double next() {
        const double hp = 4.0 * h_ / 3.0;
        const double fj = g_(y_);
        const double p = (2.0 * (fj + f2_) - f1_) * hp + y3_;
        f2_ = f1_;
        f1_ = fj;
        y3_ = y2_;
        y2_ = y1_;
        y1_ = y_;
        modified_ = p - k_.m * d_;
        const double f_new = g_(modified_);
        const double c = ((k_.a0 * y1_ + k_.a1 * y2_) + k_.a2 * y3_) +
                         ((k_.b0 * f_new + k_.b1 * f1_) + k_.b2 * f2_) * h_;
        d_ = p - c;
        y_ = k_.e * d_ + c;
        return y_;
    }

    // y after `steps` steps from y0, counting the start-up as four.
    double after(double y0, long steps) {
        start(y0);
        for (long s = 4; s < steps; ++s)
            next();
        return y_;
    }

    double modified_predictor() const { return modified_; }
    double predictor_difference() const { return d_; }

  private:
    double runge_kutta(double y) const { return runge_kutta_step(g_, h_, y); }

    Rate g_;
    double h_;
    Coefficients k_;
    double y_ = 0.0, y1_ = 0.0, y2_ = 0.0, y3_ = 0.0;
    double f1_ = 0.0, f2_ = 0.0, d_ = 0.0, modified_ = 0.0;
};

template <class Rate>
Trajectory<Rate> trajectory(Rate g, double h, Coefficients k) {
    return Trajectory<Rate>(g, h, k);
}

// The two-constant rate law of velkor, dy/dt = -Vmax y / (Km + y).
struct MichaelisMenten {
    double km, vmax;
    double operator()(double y) const { return (-vmax * y) / (km + y); }
};

}  // namespace hamming_reference
