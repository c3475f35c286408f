#pragma once
// How the module hands a sweep's points over as columns: one value position
// of every point copied into a contiguous block of doubles, which becomes a
// numpy array. Plain C++, so the benchmarks measure the same code.

#include <algorithm>
#include <cstddef>

namespace tarvelo_py {

// points[i].v[position] for i < count into out (count doubles).
template <class Points> void copy_column(const Points& points, int count, int position, double* out)
{
    for (int i = 0; i < count; ++i)
        out[i] = points[static_cast<size_t>(i)].v[position];
}

// test points' member (Frequency, Amplitude, Phase) into out.
template <class Points, class Member>
void copy_member(const Points& points, int count, Member member, double* out)
{
    for (int i = 0; i < count; ++i)
        out[i] = points[i].*member;
}

} // namespace tarvelo_py
