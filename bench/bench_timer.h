#pragma once

// Wall-clock timing for the benchmark programs.

#include <windows.h>

namespace bench {

inline double nowMs()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Milliseconds one call of f takes.
template <class F>
double timed(F f)
{
    const double t0 = nowMs();
    f();
    return nowMs() - t0;
}

// The fastest of runs calls of f, in milliseconds: the least disturbed by
// whatever else the machine does.
template <class F>
double bestOf(int runs, F f)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const double t = timed(f);
        if (t < best) best = t;
    }
    return best;
}

}  // namespace bench
