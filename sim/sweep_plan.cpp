#include "sim/sweep_plan.h"

#include <cmath>

namespace sim {

namespace {

constexpr double k_settle_s = 0.005;

} // namespace

std::vector<double> sweep_frequencies(double start, double end, int steps, bool linear)
{
    std::vector<double> f;
    if (steps < 1 || start <= 0 || end <= 0) {
        return f;
    }
    f.reserve(static_cast<std::size_t>(steps));
    for (int i = 0; i < steps; ++i) {
        const double t = steps > 1 ? static_cast<double>(i) / (steps - 1) : 0.0;
        f.push_back(linear ? start + (end - start) * t : start * std::pow(end / start, t));
    }
    return f;
}

std::chrono::nanoseconds sweep_duration(const std::vector<double>& frequencies, double cycles,
                                        double time_scale)
{
    double seconds = 0;
    for (double hz : frequencies) {
        seconds += k_settle_s + std::max(cycles, 1.0) / hz;
    }
    return std::chrono::nanoseconds(static_cast<long long>(seconds * time_scale * 1e9));
}

} // namespace sim
