#pragma once

// One machine-readable line per figure, printed beside a benchmark's own
// text so that `bash scripts/bench.sh` can gather the figures of every
// benchmark into one table:
//
//   figure<TAB>NAME<TAB>VALUE<TAB>UNIT<TAB>GOAL<TAB>lower|higher
//
// VALUE is "-" when the figure could not be taken (no display, a failed
// run); GOAL is "-" for a figure shown for reference, without a goal; the
// last field says which side meets the goal: lower (under it) or higher (at
// least it). Names start with the area ("pens: ...") and are the same from
// run to run, so tables of two runs compare line by line.

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace bench {

enum class Better { Lower, Higher };

// The value of a figure that could not be taken.
constexpr double kNotMeasured = std::numeric_limits<double>::quiet_NaN();

// The benchmarks mark a failed time as a negative one.
inline double measuredOrNot(double value) { return value < 0 ? kNotMeasured : value; }

inline void printField(double value)
{
    if (std::isfinite(value))
        std::printf("\t%.6g", value);
    else
        std::printf("\t-");
}

inline void figure(const std::string& name, double value, const char* unit, double goal, Better better)
{
    std::printf("figure\t%s", name.c_str());
    printField(value);
    std::printf("\t%s", unit);
    printField(goal);
    std::printf("\t%s\n", better == Better::Lower ? "lower" : "higher");
    std::fflush(stdout);
}

// A figure without a goal: a floor, a reference loop, a memory peak.
inline void reference(const std::string& name, double value, const char* unit)
{
    figure(name, value, unit, kNotMeasured, Better::Lower);
}

}  // namespace bench
