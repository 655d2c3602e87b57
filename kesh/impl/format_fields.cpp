#include "kesh/impl/format_fields.h"

#include <cstring>

namespace kesh {
namespace __ {

namespace {

// A run of digits as a number, counted no further than just past the bound
// so that no run can overflow.
long long readDigits(const char*& p)
{
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (value <= kMaxIntegerField) value = value * 10 + (*p - '0');
    return value;
}

// The size of the argument a conversion takes, from its length modifier.
enum class ArgumentSize { Plain, Wide, LongDouble };

ArgumentSize readLengthModifier(const char*& p)
{
    ArgumentSize size = ArgumentSize::Plain;
    for (;;) {
        if (*p == 'I' && p[1] == '6' && p[2] == '4') {
            size = ArgumentSize::Wide;
            p += 3;
        } else if (*p == 'I' && p[1] == '3' && p[2] == '2') {
            p += 3;
        } else if (*p == 'I' || *p == 'j' || *p == 'z' || *p == 't' || *p == 'q') {
            size = ArgumentSize::Wide;  // 64 bits on this platform
            ++p;
        } else if (*p == 'l' && p[1] == 'l') {
            size = ArgumentSize::Wide;
            p += 2;
        } else if (*p == 'L') {
            size = ArgumentSize::LongDouble;
            ++p;
        } else if (*p == 'h' || *p == 'l' || *p == 'w') {
            ++p;  // int-sized or promoted to int ("long" is 32 bits here)
        } else {
            return size;
        }
    }
}

}  // namespace

bool integerFieldsFit(const char* fmt, va_list args)
{
    va_list walk;
    va_copy(walk, args);
    bool fits = true;
    for (const char* p = fmt; fits && *p; ++p) {
        if (*p != '%') continue;
        ++p;
        while (*p && std::strchr("-+ #0'", *p)) ++p;
        long long width = 0;
        if (*p == '*') {
            const int given = va_arg(walk, int);
            // A negative width is a left-aligned one.
            width = given < 0 ? -static_cast<long long>(given) : given;
            ++p;
        } else {
            width = readDigits(p);
        }
        long long precision = 0;
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                const int given = va_arg(walk, int);
                precision = given < 0 ? 0 : given;  // negative: as if none
                ++p;
            } else {
                precision = readDigits(p);
            }
        }
        const ArgumentSize size = readLengthModifier(p);
        const char conversion = *p;
        if (conversion == '\0') break;  // the text ends inside a field
        if (std::strchr("diouxX", conversion)) {
            fits = width <= kMaxIntegerField && precision <= kMaxIntegerField;
            if (size == ArgumentSize::Plain)
                va_arg(walk, int);
            else
                va_arg(walk, long long);
        } else if (conversion == 'p') {
            fits = width <= kMaxIntegerField && precision <= kMaxIntegerField;
            va_arg(walk, void*);
        } else if (conversion == 'c' || conversion == 'C') {
            va_arg(walk, int);
        } else if (conversion == 's' || conversion == 'S' || conversion == 'n') {
            va_arg(walk, void*);
        } else if (std::strchr("fFeEgGaA", conversion)) {
            if (size == ArgumentSize::LongDouble)
                va_arg(walk, long double);
            else
                va_arg(walk, double);
        } else if (conversion != '%') {
            fits = false;
        }
    }
    va_end(walk);
    return fits;
}

}  // namespace __
}  // namespace kesh
