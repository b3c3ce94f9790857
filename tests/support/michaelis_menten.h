// Closed-form progress curve of a Michaelis-Menten reaction, for checking the numbers.
#pragma once

#include <cmath>

namespace testing_support {

// Principal branch of Lambert's W for z >= 0, by Halley's iteration.
inline double lambert_w0(double z) {
    double w = z < 1.0 ? z : std::log(1.0 + z);
    for (int i = 0; i < 100; ++i) {
        const double ew = std::exp(w);
        const double f = w * ew - z;
        const double next = w - f / (ew * (w + 1.0) - (w + 2.0) * f / (2.0 * w + 2.0));
        if (std::fabs(next - w) <= 1e-16 * (1.0 + std::fabs(next))) return next;
        w = next;
    }
    return w;
}

// Substrate left at time t of dS/dt = -Vmax S / (Km + S), S(0) = s0.
inline double substrate_at(double s0, double km, double vmax, double t) {
    return km * lambert_w0((s0 / km) * std::exp((s0 - vmax * t) / km));
}

}  // namespace testing_support
