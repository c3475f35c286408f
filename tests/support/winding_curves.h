#pragma once
// Gain curves of a transformer winding for the comparison tests: n points
// spaced logarithmically, and a winding's gain with two resonances.

#include "graph/bode_geometry.h"

#include <cmath>
#include <functional>
#include <vector>

using gain_curve = std::vector<s_gain_sample>;

// n points spaced logarithmically from f0 to f1, both included.
inline gain_curve log_grid(double f0, double f1, int n, const std::function<double(double)>& gain)
{
    gain_curve out;
    for (int i = 0; i < n; ++i) {
        const double f = f0 * std::pow(f1 / f0, double(i) / (n - 1));
        out.push_back({f, gain(f)});
    }
    return out;
}

// A winding's gain in dB: two resonances of quality 8, at fl and at fh.
inline double winding_db(double f, double fl, double fh = 300e3)
{
    const auto section = [f](double f0) {
        const double u = f / f0;
        return -10 * std::log10((1 - u * u) * (1 - u * u) + u * u / 64);
    };
    return section(fl) + section(fh);
}
