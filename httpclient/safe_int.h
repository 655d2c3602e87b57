#pragma once

// Overflow-guarded unsigned 32-bit arithmetic for every count and length the
// client computes. A failure throws SafeIntError with the code the system
// uses for it; the client's members turn it into codes 111 to 113 with
// ThrowSafeIntErrorW (or ThrowSafeIntErrorA in the 8-bit tool layer).

#include <windows.h>

#include <cstdint>

namespace Tesmo {

struct SafeIntError {
    DWORD code;
};

constexpr DWORD kSafeIntOverflow = ERROR_ARITHMETIC_OVERFLOW;  // 534
constexpr DWORD kSafeIntDivideByZero = 0xC0000094;              // STATUS_INTEGER_DIVIDE_BY_ZERO

inline uint32_t SafeAdd(uint32_t a, uint32_t b)
{
    uint32_t sum;
    if (__builtin_add_overflow(a, b, &sum))
        throw SafeIntError{kSafeIntOverflow};
    return sum;
}

// A negative result is an overflow too: the value is unsigned.
inline uint32_t SafeSub(uint32_t a, uint32_t b)
{
    uint32_t difference;
    if (__builtin_sub_overflow(a, b, &difference))
        throw SafeIntError{kSafeIntOverflow};
    return difference;
}

// Kept because the guarded set's interface lists it; nothing divides.
inline uint32_t SafeDiv(uint32_t a, uint32_t b)
{
    if (b == 0)
        throw SafeIntError{kSafeIntDivideByZero};
    return a / b;
}

// A size_t length (of a text, a buffer) as a 32-bit count.
inline uint32_t SafeCount(size_t n)
{
    if (n > UINT32_MAX)
        throw SafeIntError{kSafeIntOverflow};
    return static_cast<uint32_t>(n);
}

}  // namespace Tesmo
