#pragma once
// One FRA point and the window's copy of the last completed sweep.
//
// A point holds the values of one reply line in reply order: frequency,
// magnitude 1, magnitude 2, gain, phase, delay and, when the three-channel
// instrument measures its third input, magnitude 3, gain 2, phase 2 and
// delay 2. Everything that consumes points (tables, graphs, margins, files,
// database) reads positions 0..5 only.

#include "sweep/sweep_points.h"

#include <array>
#include <cstdint>

constexpr int FRA_VALUES_MAX = 10;
constexpr int FRA_VALUES_USUAL = 6;

enum fra_position : int {
    FRA_FREQUENCY = 0,
    FRA_MAGNITUDE1 = 1,
    FRA_MAGNITUDE2 = 2,
    FRA_GAIN = 3,
    FRA_PHASE = 4,
    FRA_DELAY = 5,
};

struct s_fra_result {
    double v[FRA_VALUES_MAX] = {};

    double frequency() const { return v[FRA_FREQUENCY]; }
    double gain() const { return v[FRA_GAIN]; }
    double phase() const { return v[FRA_PHASE]; }
};

// The steps, the phase convention and the point slots of a sweep: filled by
// the sweep worker and copied whole into the window's results.
struct FraResults {
    int32_t count = 0;
    int32_t phase_convention = 0;
    std::array<s_fra_result, MAX_SWEEP_POINTS> points{};

    void clear() { *this = FraResults{}; }
};
