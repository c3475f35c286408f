#pragma once

#include <chrono>
#include <vector>

namespace sim {

// The frequencies the instrument steps through from its Start, End, Steps
// and Step scale settings (logarithmic or linear spacing, both ends
// included).
std::vector<double> sweep_frequencies(double start, double end, int steps, bool linear);

// How long the instrument takes for a sweep: each point settles for a few
// milliseconds and then integrates over at least `cycles` periods, so low
// frequencies take longer. `time_scale` shortens or stretches the whole.
std::chrono::nanoseconds sweep_duration(const std::vector<double>& frequencies, double cycles,
                                        double time_scale);

} // namespace sim
