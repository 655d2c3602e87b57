// Strings from numbers and numbers from Strings.
#include "kesh/string.h"

#include "kesh/impl/string_chars.h"

namespace kesh {

namespace __ {
namespace {

// Writes the digits of value, most significant first, without leading zeros.
char* toDigits(unsigned value, unsigned base, char* out)
{
    KESH_ASSERT(base >= 2 && base <= 36);
    if (value >= base) out = toDigits(value / base, base, out);
    const unsigned digit = value % base;
    *out++ = static_cast<char>(digit < 10 ? '0' + digit : 'A' + digit - 10);
    return out;
}

int digitValue(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// Reads sign and digits; the magnitude saturates just above 2^32 so the
// callers can tell "out of range" without wrapping.
struct ParsedNumber {
    bool negative = false;
    unsigned long long magnitude = 0;
};

ParsedNumber parseNumber(const char* text, unsigned base)
{
    ParsedNumber r;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (isSpace(*p)) ++p;
    if (*p == '+' || *p == '-') r.negative = (*p++ == '-');
    if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) p += 2;
    const unsigned long long cap = 0x100000000ULL;
    for (int d; (d = digitValue(*p)) < static_cast<int>(base); ++p) {
        r.magnitude = r.magnitude * base + static_cast<unsigned>(d);
        if (r.magnitude > cap) r.magnitude = cap + 1;
    }
    return r;
}

}  // namespace
}  // namespace __

using namespace __;

String::String(int value, unsigned base) : String()
{
    KESH_ASSERT(base >= 2 && base <= 36);
    char digits[40];
    char* end = digits;
    if (value < 0) *end++ = '-';
    // The magnitude as unsigned, so the most negative value does not overflow.
    const unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    end = toDigits(magnitude, base, end);
    *end = 0;
    *this = String(digits);
}

String::String(unsigned value, unsigned base) : String()
{
    char digits[40];
    *toDigits(value, base, digits) = 0;
    *this = String(digits);
}

long String::toLong(unsigned base) const
{
    KESH_ASSERT(base >= 2 && base <= 36);
    const ParsedNumber n = parseNumber(c_str(), base);
    if (n.negative) return n.magnitude >= 0x80000000ULL ? -2147483647L - 1 : -static_cast<long>(n.magnitude);
    return n.magnitude > 0x7FFFFFFFULL ? 2147483647L : static_cast<long>(n.magnitude);
}

unsigned long String::toULong(unsigned base) const
{
    KESH_ASSERT(base >= 2 && base <= 36);
    const ParsedNumber n = parseNumber(c_str(), base);
    if (n.magnitude > 0xFFFFFFFFULL) return 0xFFFFFFFFUL;
    const unsigned long value = static_cast<unsigned long>(n.magnitude);
    return n.negative ? 0UL - value : value;
}

}  // namespace kesh
