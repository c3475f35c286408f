#pragma once
// How many points a sweep of any mode has at least and at most: the
// instrument's step count is checked against these, and every mode's
// results block has room for the most.

constexpr int MAX_SWEEP_POINTS = 3000;
constexpr int MIN_SWEEP_POINTS = 2;
