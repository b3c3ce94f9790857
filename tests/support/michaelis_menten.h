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

// Substrate left at time t of dS/dt = -Vmax S / (Km + S), S(0) = s0: Km W(z) with
// z = (s0/Km) e^((s0 - Vmax t)/Km). Where z would overflow, W(z) = log z - log W(z) is
// iterated on log z instead.
inline double substrate_at(double s0, double km, double vmax, double t) {
    const double log_z = std::log(s0 / km) + (s0 - vmax * t) / km;
    if (log_z > 700.0) {
        double w = log_z;
        for (int i = 0; i < 50; ++i)
            w = log_z - std::log(w);
        return km * w;
    }
    return km * lambert_w0(std::exp(log_z));
}

}  // namespace testing_support
