#pragma once

#include "kesh/thread.h"

#include <cstdarg>

namespace kesh {
namespace __ {

// The widest integer field (width or precision of d, i, o, u, x, X, p) that
// String::format hands to the C formatter: a quarter of a worker thread's
// stack. The runtime's formatter lays out an integer conversion in a stack
// buffer as wide as its field, so a width such as %10000000d overflows any
// stack; text and floating-point fields are laid out on the heap and are
// bounded only by the whole output's size.
constexpr long long kMaxIntegerField = sys::kWorkerStackSize / 4;
static_assert(kMaxIntegerField >= 4096, "a worker's stack this small would refuse ordinary integer fields");

// The most bytes a formatted text may have: the formatter counts its output
// in an int, and past that count writes before its buffer.
constexpr long long kMaxFormattedLength = 0x7FFFFFFE;

// Walks fmt with a copy of args (taking each `*` from the arguments as the
// formatter will) and tells whether every integer field is within
// kMaxIntegerField and the output cannot pass kMaxFormattedLength (counted
// from above: a field's width or what its argument can print at the most,
// whichever is more). False too for a conversion or length modifier the
// walk does not share with the formatter (which prints %q, %w and the like
// as they stand, taking no argument), after which it cannot tell which
// argument is which. args itself is left untouched.
bool formatFits(const char* fmt, va_list args);

}  // namespace __
}  // namespace kesh
