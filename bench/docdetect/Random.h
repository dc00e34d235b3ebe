// A seeded random source whose sequence is fixed by this file alone (the
// standard distributions differ between library versions), so a seed always
// produces the same evaluation image.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>

namespace bitonix {

class TRandom {
public:
    explicit TRandom(std::uint32_t seed) : FEngine(seed) {}

    // Uniform in [lo, hi).
    double Uniform(double lo, double hi) {
        const double unit = static_cast<double>(FEngine() >> 5) / 134217728.0; // 2^27
        return lo + (hi - lo) * unit;
    }

    // Uniform integer in [lo, hi], both included.
    int Int(int lo, int hi) {
        const auto span = static_cast<std::uint32_t>(hi - lo + 1);
        return lo + static_cast<int>(FEngine() % span);
    }

    bool Chance(double probability) { return Uniform(0.0, 1.0) < probability; }

    // Either sign, magnitude uniform in [lo, hi).
    double Signed(double lo, double hi) { return Chance(0.5) ? Uniform(lo, hi) : -Uniform(lo, hi); }

    // Standard normal by Box-Muller.
    double Normal(double mean, double sigma) {
        const double u1 = Uniform(1e-12, 1.0);
        const double u2 = Uniform(0.0, 1.0);
        return mean + sigma * std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    }

    // A fresh seed for a dependent generator (cv::RNG, a sub-scene).
    std::uint32_t Seed() { return FEngine(); }

private:
    std::mt19937 FEngine;
};

} // namespace bitonix
