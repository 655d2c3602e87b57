#pragma once

// Wall-clock timing for the benchmark programs.

#include <windows.h>

#include <algorithm>
#include <vector>

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

// Two runs of the same work compared on a machine whose load changes from
// one moment to the next: timed whole, one after the other, the two see
// different moments, and a run's time swings by more than the two differ.
// So both runs go at once, in slices that take turns (ABBA, so that neither
// always goes first), and each run's time is the sum of its slices' times.
// makeA and makeB give a new run of each side per round: a callable that
// does its run's next slice and says whether more remain (the first slice
// starts the run, the last one ends it). The figure is the median over the
// rounds of time(B) / time(A).
struct InterleavedTimes {
    double ratio = 0;  // the median of the rounds' ratios
    double lowest = 0;  // the rounds' spread around it
    double highest = 0;
    double bestA = 1e300;  // the fastest whole run of each side, in ms
    double bestB = 1e300;
};

template <class MakeA, class MakeB>
InterleavedTimes interleavedRatio(int rounds, MakeA makeA, MakeB makeB)
{
    InterleavedTimes result;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        auto a = makeA();
        auto b = makeB();
        double timeA = 0, timeB = 0;
        bool moreA = true, moreB = true;
        bool aFirst = round % 2 == 0;
        while (moreA || moreB) {
            for (int turn = 0; turn < 2; ++turn) {
                if ((turn == 0) == aFirst) {
                    if (moreA) timeA += timed([&] { moreA = a(); });
                } else if (moreB) {
                    timeB += timed([&] { moreB = b(); });
                }
            }
            aFirst = !aFirst;
        }
        ratios.push_back(timeB / timeA);
        result.bestA = std::min(result.bestA, timeA);
        result.bestB = std::min(result.bestB, timeB);
    }
    std::sort(ratios.begin(), ratios.end());
    const size_t n = ratios.size();
    if (n == 0) return result;
    result.ratio = n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
    result.lowest = ratios.front();
    result.highest = ratios.back();
    return result;
}

}  // namespace bench
