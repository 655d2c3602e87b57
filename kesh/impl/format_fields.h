#pragma once

#include <cstdarg>

namespace kesh {
namespace __ {

// The widest integer field (width or precision of d, i, o, u, x, X, p) that
// String::format hands to the C formatter: 64 KiB, a quarter of the 256 KiB
// stack the programs give their worker threads. The runtime's formatter lays
// out an integer conversion in a stack buffer as wide as its field, so a
// width such as %10000000d overflows any stack; text and floating-point
// fields are laid out on the heap and are not bounded here.
constexpr long long kMaxIntegerField = 65536;

// Walks fmt with a copy of args (taking each `*` from the arguments as the
// formatter will) and tells whether every integer field is within
// kMaxIntegerField. False too for a conversion it does not know, after which
// it cannot tell which argument is which. args itself is left untouched.
bool integerFieldsFit(const char* fmt, va_list args);

}  // namespace __
}  // namespace kesh
